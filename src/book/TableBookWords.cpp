// The tables as the book sets them: the short record and the numbers of
// LifeRecord, columns set and measured by Typeset over the book's face.
#include "book/GenerationTables.h"
#include "book/LifeRecordText.h"

namespace book {

GenerationTables::GenerationTables(const MemberNode& start, int firstGeneration,
                                   const BookFont& font, const BookContext& context, QSizeF body,
                                   const TypeSizes& sizes)
    : GenerationTables(
          start, firstGeneration, context.Options().layout,
          TableWords{
              [&context](const MemberNode& member) { return LifeRecord::Short(member, context); },
              // 第三世 and 接第十二页 in a Chinese book; Generation 3 in another.
              [](int number) { return InChinese() ? NumberText(number) : QString::number(number); },
              [&font](const QString& text, double size) {
                return VerticalLength(font, text, size);
              },
              [&font](PageSink& sink, const QString& text, QPointF topCentre, double size) {
                SetVertical(sink, font, text, topCentre, size);
              }},
          body, sizes) {}

}  // namespace book
