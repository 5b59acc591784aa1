// Chinese is the language the program is written in, and its kinship words
// come from the calendar layer, which knows no catalogue. Other languages
// cut kinship otherwise (English has no 伯 and 叔 but counts cousins and
// removals), so their words are not translations of the Chinese term but are
// built here, each piece through the catalogue. One entry of the catalogue
// tells which way to go: a catalogue that translates it wants the pieces.
#include "dialogs/KinshipText.h"

#include "calendar/KinshipTerms.h"
#include "model/COperationClanbook.h"

#include <QCoreApplication>

// The context of every kinship word in the catalogue.
class KinshipWording {
  Q_DECLARE_TR_FUNCTIONS(KinshipWording)
};

namespace {

bool OwnWords() {
  return KinshipWording::tr("汉语称谓",
                            "Translate as the name of the language: the kinship words are then "
                            "built from the entries of this context, not taken from the Chinese "
                            "terms") != QStringLiteral("汉语称谓");
}

QString Ordinal(int n) {
  switch (n) {
    case 1:
      return KinshipWording::tr("第一");
    case 2:
      return KinshipWording::tr("第二");
    case 3:
      return KinshipWording::tr("第三");
    default:
      break;
  }
  const int lastTwo = n % 100;
  const int last = n % 10;
  // English ordinals end by the last digits: each ending is an entry of its own.
  if (lastTwo < 11 || lastTwo > 13) {
    if (last == 1) return KinshipWording::tr("第%1", "21st, 31st, ...").arg(n);
    if (last == 2) return KinshipWording::tr("第%1", "22nd, 32nd, ...").arg(n);
    if (last == 3) return KinshipWording::tr("第%1", "23rd, 33rd, ...").arg(n);
  }
  return KinshipWording::tr("第%1", "4th, 5th, 11th, ...").arg(n);
}

// 1 father, 2 grandfather, 3 great-grandfather, 4 great-great-grandfather,
// then "N× great-grandfather".
QString AncestorWord(int up, bool female) {
  switch (up) {
    case 1:
      return female ? KinshipWording::tr("母亲") : KinshipWording::tr("父亲");
    case 2:
      return female ? KinshipWording::tr("祖母") : KinshipWording::tr("祖父");
    case 3:
      return female ? KinshipWording::tr("曾祖母") : KinshipWording::tr("曾祖父");
    default:
      break;
  }
  return (female ? KinshipWording::tr("%1× 曾祖母") : KinshipWording::tr("%1× 曾祖父")).arg(up - 2);
}

QString DescendantWord(int down, KinSex sex, bool wife) {
  const bool female = sex == KinSex::Female;
  switch (down) {
    case 1:
      return wife     ? KinshipWording::tr("儿媳")
             : female ? KinshipWording::tr("女儿")
                      : KinshipWording::tr("儿子");
    case 2:
      return wife     ? KinshipWording::tr("孙媳")
             : female ? KinshipWording::tr("孙女")
                      : KinshipWording::tr("孙子");
    case 3:
      return wife     ? KinshipWording::tr("曾孙媳")
             : female ? KinshipWording::tr("曾孙女")
                      : KinshipWording::tr("曾孙");
    default:
      break;
  }
  return (wife     ? KinshipWording::tr("%1× 曾孙媳")
          : female ? KinshipWording::tr("%1× 曾孙女")
                   : KinshipWording::tr("%1× 曾孙"))
      .arg(down - 2);
}

QString BrothersLine(const Kinship& k) {
  const int above = k.GenerationsAbove();
  const bool female = k.sex == KinSex::Female && !k.wife;
  if (above == 0) {
    if (k.wife) return k.elder ? KinshipWording::tr("嫂子") : KinshipWording::tr("弟媳");
    if (female) return k.elder ? KinshipWording::tr("姐姐") : KinshipWording::tr("妹妹");
    return k.elder ? KinshipWording::tr("哥哥") : KinshipWording::tr("弟弟");
  }
  if (above > 0) {
    const QString forefather = AncestorWord(above, false);
    if (k.wife)
      return (k.elder ? KinshipWording::tr("%1的哥哥的妻子") : KinshipWording::tr("%1的弟弟的妻子"))
          .arg(forefather);
    if (female) return KinshipWording::tr("%1的姐妹").arg(forefather);
    return (k.elder ? KinshipWording::tr("%1的哥哥") : KinshipWording::tr("%1的弟弟"))
        .arg(forefather);
  }
  return KinshipWording::tr("兄弟的%1").arg(DescendantWord(-above, k.sex, k.wife));
}

QString CousinsLine(const Kinship& k) {
  const int above = k.GenerationsAbove();
  const int removed = above < 0 ? -above : above;
  const int cousin = k.Degree() - 1;
  QString word = cousin == 1 && removed == 0 ? KinshipWording::tr("堂兄弟姐妹")
                                             : KinshipWording::tr("%1堂亲").arg(Ordinal(cousin));
  if (removed == 1) word = KinshipWording::tr("%1，隔一代").arg(word);
  if (removed == 2) word = KinshipWording::tr("%1，隔两代").arg(word);
  if (removed > 2) word = KinshipWording::tr("%1，隔%2代").arg(word).arg(removed);
  if (k.wife) word = KinshipWording::tr("%1的妻子").arg(word);
  if (above == 0)
    return (k.elder ? KinshipWording::tr("%1（年长）") : KinshipWording::tr("%1（年幼）"))
        .arg(word);
  if (above > 0)
    return (k.elder ? KinshipWording::tr("%1（长辈，长房）")
                    : KinshipWording::tr("%1（长辈，幼房）"))
        .arg(word);
  return KinshipWording::tr("%1（晚辈）").arg(word);
}

QString OwnWordsFor(const Kinship& k) {
  switch (k.kind) {
    case KinKind::Unrelated:
      return {};
    case KinKind::Self:
      return KinshipWording::tr("本人");
    case KinKind::Husband:
      return KinshipWording::tr("丈夫");
    case KinKind::Wife:
      return KinshipWording::tr("妻子");
    case KinKind::Ancestor:
      return AncestorWord(k.up, k.sex == KinSex::Female);
    case KinKind::Descendant:
      return DescendantWord(k.down, k.sex, k.wife);
    case KinKind::Collateral:
      break;
  }
  return k.Degree() == 1 ? BrothersLine(k) : CousinsLine(k);
}

}  // namespace

QString KinshipPersonName(const QString& name, const KinPerson& person) {
  // The words the 称谓 window first had, under its name in the catalogue.
  return person.wife ? QCoreApplication::translate("CKinshipDlg", "%1之妻").arg(name) : name;
}

QString KinshipWords(const Kinship& kinship) {
  if (OwnWords()) return OwnWordsFor(kinship);
  return QString::fromStdU16String(KinshipTerm(kinship));
}

QString KinshipLine(const QString& a, const QString& b, const Kinship& kinship) {
  if (kinship.kind == KinKind::Unrelated)
    return KinshipWording::tr("%1与%2没有共同的祖先。").arg(a, b);
  return KinshipWording::tr("%1 称 %2 为 %3").arg(a, b, KinshipWords(kinship));
}

QString KinshipPath(const QString& a, const QString& b, const Kinship& aToB) {
  // One person, or husband and wife: no line of descent to show.
  if (aToB.kind == KinKind::Unrelated || aToB.kind == KinKind::Self ||
      aToB.kind == KinKind::Husband || aToB.kind == KinKind::Wife || !aToB.ancestor)
    return {};
  return KinshipWording::tr("共同祖先：%1（%2上溯%3代，%4上溯%5代）")
      .arg(QString::fromStdU16String(aToB.ancestor->name), a, QString::number(aToB.up), b,
           QString::number(aToB.down));
}
