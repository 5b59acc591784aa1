#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/DateSettings.h"
#include "mainwindow/RecentFiles.h"

#include "platform/CHyperLink.h"
#include "platform/MessageBoxes.h"
#include "platform/Today.h"
#include "platform/Vendor.h"
#include "views/MemberSearchBar.h"

#include <QAction>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTreeView>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The eight commands that need a genealogy, in the order they are switched.
constexpr int kMemberButtons[] = {ID_ADD_CHILD,     ID_DELETE_SELECTED, ID_CHANGE_DATA,
                                  ID_GENERATION,    ID_SORT_BY_BIRTH,   ID_RELATIONS,
                                  ID_PERSONAL_INFO, ID_FIND_BIRTHDAY};

constexpr int kListColumnWidth = 85;
const QColor kListBackground{250, 255, 128};
const QColor kTreeBackground{154, 248, 140};

struct ButtonEntry {
  int id;
  const char* text;  // marked with QT_TR_NOOP, translated when shown
};

// Dialog units of the window's layout: a quarter of the font's average character
// width across, an eighth of its height down, so that the window scales with
// the font as the template did.
class DialogUnits {
public:
  explicit DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    m_baseY = metrics.height();
  }
  int X(int units) const { return units * m_baseX / 4; }
  int Y(int units) const { return units * m_baseY / 8; }

private:
  int m_baseX;
  int m_baseY;
};

}  // namespace

CClanbookDlg::CClanbookDlg(QWidget* parent)
    : CDialog(parent),
      m_treeModel(std::make_unique<GenealogyTreeModel>(m_document)),
      m_listModel(std::make_unique<MemberListModel>(m_document, m_treeModel->Families())),
      m_files(m_document, *this),
      m_poem(m_document, *this, [this](const QString& text) { m_files.ShowNoticeOnce(text); }),
      m_search(m_document, *this),
      m_charts(m_document, *this, [this] { return SelectedMember(); }) {
  BuildLayout();
  BuildMenu();
  InstallFileCommands();
  InstallBranchCommands();
  InstallFindCommands();
  InstallChartCommands();
  InstallDateCommands();
  connect(&m_document, &GenealogyDocument::memberConcerned, this,
          [this](MemberNode* member) { ShowConcerned(member); });
  InstallGedcomCommands();
  InstallKinshipCommands();
  InstallMourningCommands();
  InstallRecordCommands();
  InstallBookCommands();
}

// The members go in the reverse order of their declaration: the views and the
// parts before the models, the models before the document they show.
CClanbookDlg::~CClanbookDlg() = default;

void CClanbookDlg::BuildLayout() {
  setWindowTitle(tr("Morvane家谱制作软件 4.0"));
  // Caption, system menu and close box; no minimise or maximise box.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  // The desktop's own font rather than the template's 宋体, which Linux
  // desktops seldom have; the layout is measured in it.
  const QFont windowFont = font();
  const DialogUnits du(windowFont);

  m_treeCtrl = std::make_unique<GenealogyTreeView>(this);
  m_treeCtrl->setObjectName(ControlName(1000));
  m_treeCtrl->setAccessibleName(tr("家谱"));
  m_treeCtrl->setModel(m_treeModel.get());
  m_treeCtrl->setHeaderHidden(true);
  m_treeCtrl->setRootIsDecorated(true);
  m_treeCtrl->setUniformRowHeights(true);
  m_treeCtrl->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_treeCtrl->setSelectionMode(QAbstractItemView::SingleSelection);
  m_treeCtrl->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_treeCtrl->header()->setStretchLastSection(false);
  m_treeCtrl->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  m_treeCtrl->setContextMenuPolicy(Qt::NoContextMenu);
  m_treeCtrl->setMinimumSize(du.X(184) / 2, du.Y(191) / 2);
  connect(m_treeCtrl->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { OnTreeSelChanged(); });

  m_listCtrl = std::make_unique<QTableView>(this);
  m_listCtrl->setObjectName(ControlName(1005));
  m_listCtrl->setAccessibleName(tr("成员列表"));
  m_listCtrl->setModel(m_listModel.get());
  m_listCtrl->verticalHeader()->hide();
  m_listCtrl->setShowGrid(false);
  m_listCtrl->setWordWrap(false);
  m_listCtrl->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_listCtrl->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_listCtrl->setSortingEnabled(false);
  m_listCtrl->setTabKeyNavigation(false);  // Tab leaves the list, as it leaves the tree
  m_listCtrl->setContextMenuPolicy(Qt::NoContextMenu);
  m_listCtrl->horizontalHeader()->setStretchLastSection(false);
  m_listCtrl->horizontalHeader()->setHighlightSections(false);
  m_listCtrl->setMinimumSize(du.X(468) / 2, du.Y(156) / 2);
  // Every row is one line high; saying so spares the view from measuring rows.
  m_listCtrl->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_listCtrl->verticalHeader()->setDefaultSectionSize(QFontMetrics(windowFont).height() + 4);

  auto makeButtons = [&](QGroupBox* group, std::initializer_list<ButtonEntry> entries) {
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(du.X(9));
    grid->setVerticalSpacing(du.Y(26));
    int index = 0;
    for (const ButtonEntry& entry : entries) {
      auto* button = new QPushButton(tr(entry.text), group);
      button->setObjectName(ControlName(entry.id));
      // No button is the default: Enter ends the window unless a button has the focus.
      button->setAutoDefault(false);
      button->setDefault(false);
      // Never narrower than its words, which in English outgrow the template's width.
      button->setMinimumSize(std::max(du.X(57), button->sizeHint().width()), du.Y(24));
      button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      const int id = entry.id;
      connect(button, &QPushButton::clicked, this, [this, id] { RunCommand(id); });
      m_buttons[id] = button;
      m_buttonOrder.push_back(button);
      grid->addWidget(button, index / 4, index % 4);
      ++index;
    }
  };

  auto* fileGroup = new QGroupBox(tr("文件操作"), this);
  makeButtons(fileGroup, {{ID_NEW, QT_TR_NOOP("新建家谱")},
                          {ID_OPEN, QT_TR_NOOP("打开家谱")},
                          {ID_SAVE, QT_TR_NOOP("保存家谱")},
                          {ID_SAVE_AS, QT_TR_NOOP("另存家谱")}});
  auto* controlGroup = new QGroupBox(tr("家谱控制"), this);
  makeButtons(controlGroup, {{ID_DELETE_SELECTED, QT_TR_NOOP("删除该人")},
                             {ID_ADD_CHILD, QT_TR_NOOP("增加孩子")},
                             {ID_CHANGE_DATA, QT_TR_NOOP("更改资料")},
                             {ID_GENERATION, QT_TR_NOOP("某代信息")},
                             {ID_PERSONAL_INFO, QT_TR_NOOP("按照姓名查找")},
                             {ID_RELATIONS, QT_TR_NOOP("确定两人关系")},
                             {ID_SORT_BY_BIRTH, QT_TR_NOOP("出生日期排序")},
                             {ID_FIND_BIRTHDAY, QT_TR_NOOP("按照生日查找")}});

  m_hyperLink = new CHyperLink(VendorLinkText(), this);
  m_hyperLink->setObjectName(ControlName(1067));

  auto* rightColumn = new QVBoxLayout;
  rightColumn->setSpacing(du.Y(3));
  rightColumn->addWidget(fileGroup);
  rightColumn->addWidget(controlGroup);
  rightColumn->addStretch(1);
  rightColumn->addWidget(m_hyperLink, 0, Qt::AlignRight);

  // Find as you type, right above the tree it searches.
  auto* leftColumn = new QVBoxLayout;
  leftColumn->setSpacing(du.Y(2));
  leftColumn->addWidget(m_search.Bar());
  leftColumn->addWidget(m_treeCtrl.get(), 1);

  auto* top = new QHBoxLayout;
  top->setSpacing(du.X(2));
  top->addLayout(leftColumn, 184);
  top->addLayout(rightColumn, 280);

  auto* main = new QVBoxLayout(this);
  main->setContentsMargins(du.X(1), du.Y(1), du.X(1), du.Y(3));
  main->setSpacing(du.Y(10) - du.Y(1));
  main->addLayout(top, 191);
  main->addWidget(m_listCtrl.get(), 156);

  // Tab order of the template: tree, list, then the buttons row by row.
  QWidget* previous = m_treeCtrl.get();
  setTabOrder(previous, m_listCtrl.get());
  previous = m_listCtrl.get();
  for (QPushButton* button : m_buttonOrder) {
    setTabOrder(previous, button);
    previous = button;
  }

  resize(du.X(469), du.Y(362));
}

void CClanbookDlg::BuildMenu() {
  m_menuBar = new QMenuBar(this);
  m_menuBar->setObjectName(QStringLiteral("idr_129"));
  layout()->setMenuBar(m_menuBar);
  // A Qt menu bar adds its height to the window instead of taking it from the
  // client area as the template's menu does.
  resize(width(), height() + m_menuBar->sizeHint().height());

  struct Item {
    const char* text;  // marked with QT_TR_NOOP
    int id;
  };
  auto addMenu = [this](const char* title, std::initializer_list<Item> items) {
    QMenu* menu = m_menuBar->addMenu(tr(title));
    for (const Item& item : items) {
      QAction* action = menu->addAction(tr(item.text));
      action->setObjectName(QStringLiteral("idm_%1").arg(item.id));
      action->setData(item.id);
      const int id = item.id;
      connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
      m_actions[id] = action;
    }
    return menu;
  };
  m_fileMenu = addMenu(QT_TR_NOOP("文件"), {{QT_TR_NOOP("新建家谱"), ID_NEW},
                                            {QT_TR_NOOP("打开家谱"), ID_OPEN},
                                            {QT_TR_NOOP("保存家谱"), ID_SAVE},
                                            {QT_TR_NOOP("另存为"), ID_SAVE_AS},
                                            {QT_TR_NOOP("退出"), ID_EXIT}});
  m_editMenu = addMenu(QT_TR_NOOP("编辑"), {});
  BuildEditMenu();
  m_bookMenu =
      addMenu(QT_TR_NOOP("家谱"), {{QT_TR_NOOP("第 i 代人信息"), ID_GENERATION},
                                   {QT_TR_NOOP("个人信息"), ID_PERSONAL_INFO},
                                   {QT_TR_NOOP("确定两人关系"), ID_RELATIONS},
                                   {QT_TR_NOOP("添加个人"), ID_ADD_MEMBER},
                                   {QT_TR_NOOP("修改个人信息"), ID_MODIFY_MEMBER},
                                   {QT_TR_NOOP("删除个人"), ID_DELETE_MEMBER},
                                   {QT_TR_NOOP("对所有人按出生日期排序"), ID_SORT_BY_BIRTH}});
  // How the book is shown (dates today); the window's own choices, not the book's.
  m_viewMenu = addMenu(QT_TR_NOOP("查看"), {});
  m_viewMenu->menuAction()->setObjectName(QStringLiteral("viewMenu"));
  addMenu(QT_TR_NOOP("帮助"), {{QT_TR_NOOP("帮助"), ID_HELP},
                               {QT_TR_NOOP("官方主页"), ID_FEEDBACK},
                               {QT_TR_NOOP("关于"), ID_ABOUT}});

  // 按照生日查找 has a button and never had a menu item; its command is a
  // named action all the same.
  auto* birthday = new QAction(tr("按照生日查找"), this);
  birthday->setObjectName(QStringLiteral("findBirthdayCommand"));
  connect(birthday, &QAction::triggered, this, [this] { RunCommand(ID_FIND_BIRTHDAY); });
}

void CClanbookDlg::BuildEditMenu() {
  // The stack's own actions: each names what it would undo or redo after
  // the prefix ("撤销 删除 甲") and is enabled only when there is something.
  QUndoStack* stack = m_document.UndoStack();
  const struct {
    int id;
    QAction* action;
    QList<QKeySequence> keys;
  } items[] = {
      {ID_UNDO,
       stack->createUndoAction(m_editMenu, tr("撤销")),
       {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
      {ID_REDO,
       stack->createRedoAction(m_editMenu, tr("重做")),
       {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
  };
  for (const auto& item : items) {
    item.action->setObjectName(QStringLiteral("idm_%1").arg(item.id));
    item.action->setData(item.id);
    item.action->setShortcuts(item.keys);
    m_editMenu->addAction(item.action);
    // Also the window's own, so that the keys work wherever the focus is.
    addAction(item.action);
    m_actions[item.id] = item.action;
  }
}

QAction* CClanbookDlg::AddMenuCommand(QMenu* menu, const QString& text, const QString& objectName,
                                      std::function<void()> handler,
                                      const QList<QKeySequence>& keys, QAction* before) {
  auto* action = new QAction(text, menu);
  action->setObjectName(objectName);
  action->setShortcuts(keys);
  menu->insertAction(before, action);
  if (!keys.isEmpty()) {
    // Also the window's own, so that the keys work wherever the focus is.
    addAction(action);
  }
  connect(action, &QAction::triggered, this, std::move(handler));
  return action;
}

void CClanbookDlg::InitListColumns() {
  QHeaderView* header = m_listCtrl->horizontalHeader();
  header->setDefaultAlignment(Qt::AlignCenter);
  header->setDefaultSectionSize(kListColumnWidth);
  for (int column = 0; column < MemberListModel::kColumnCount; ++column) {
    header->resizeSection(column, kListColumnWidth);
  }
  FitDateColumns();
  QPalette listPalette = m_listCtrl->palette();
  listPalette.setColor(QPalette::Base, kListBackground);
  m_listCtrl->setPalette(listPalette);
  QPalette treePalette = m_treeCtrl->palette();
  treePalette.setColor(QPalette::Base, kTreeBackground);
  m_treeCtrl->setPalette(treePalette);
}

QAction* CClanbookDlg::MenuAction(int id) const {
  const auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

QAbstractButton* CClanbookDlg::button(int id) const {
  const auto it = m_buttons.find(id);
  return it == m_buttons.end() ? nullptr : it->second;
}

void CClanbookDlg::RunCommand(int id) {
  // One handler per command id, whether a menu item, a key or a button asked.
  static const std::map<int, void (CClanbookDlg::*)()> kHandlers = {
      {ID_NEW, &CClanbookDlg::OnNewGenealogy},
      {ID_EXIT, &CClanbookDlg::OnExit},
      {ID_ADD_MEMBER, &CClanbookDlg::OnAddMember},
      {ID_ADD_CHILD, &CClanbookDlg::OnAddChild},
      {ID_MODIFY_MEMBER, &CClanbookDlg::OnModifyMember},
      {ID_CHANGE_DATA, &CClanbookDlg::OnChangeData},
      {ID_DELETE_MEMBER, &CClanbookDlg::OnDeleteMember},
      {ID_DELETE_SELECTED, &CClanbookDlg::OnDeleteSelected},
      {ID_GENERATION, &CClanbookDlg::OnGenerationInfo},
      {ID_PERSONAL_INFO, &CClanbookDlg::OnPersonalInfo},
      {ID_RELATIONS, &CClanbookDlg::OnRelations},
      {ID_SORT_BY_BIRTH, &CClanbookDlg::OnSortByBirth},
      {ID_FIND_BIRTHDAY, &CClanbookDlg::OnFindBirthday},
      {ID_HELP, &CClanbookDlg::OnHelpPage},
      {ID_FEEDBACK, &CClanbookDlg::OnFeedbackMail},
      {ID_ABOUT, &CClanbookDlg::OnAbout},
  };
  switch (id) {
    case ID_OPEN:
      m_files.Open();
      return;
    case ID_SAVE:
      m_files.Save();
      return;
    case ID_SAVE_AS:
      m_files.SaveAs();
      return;
    case ID_SYS_ABOUT:
      OnSysCommand(id);
      return;
    default:
      if (const auto it = kHandlers.find(id); it != kHandlers.end()) (this->*it->second)();
  }
}

bool CClanbookDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_hyperLink->SetBold(true);
  m_hyperLink->SetUnderlined(true);
  m_hyperLink->SetUrl(VendorWebUrl());
  m_document.SetFileName({});
  m_document.SetModified(false);
  InitListColumns();
  EnableMemberButtons(false);
  RestoreWindowState();
  return true;
}

void CClanbookDlg::OnOK() {
  EndThroughClosePath(IDOK);
}

void CClanbookDlg::OnCancel() {
  EndThroughClosePath(IDCANCEL);
}

void CClanbookDlg::RebuildTreeView() {
  // The reset drops the selection; that is no selection change for the list.
  m_quietSelection = true;
  m_document.NotifyReset();
  m_quietSelection = false;
}

void CClanbookDlg::ShowConcerned(MemberNode* member) {
  ClearList();
  m_quietSelection = true;
  RevealMember(member);
  m_quietSelection = false;
  // The list shows the member the tree now selects, as a click would: a click
  // on him would change no selection and so show nothing.
  if (const MemberNode* selected = SelectedMember()) AddMemberRow(selected);
}

void CClanbookDlg::RevealMember(MemberNode* member) {
  if (!member) return;
  const QModelIndex index = m_treeModel->IndexOf(member);
  m_treeCtrl->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  // Opens the member's line of fathers where it was closed, nothing else.
  m_treeCtrl->scrollTo(index);
}

void CClanbookDlg::ClearList() {
  m_listModel->Clear();
}

void CClanbookDlg::AddMemberRow(const MemberNode* member) {
  m_listModel->AppendMembers({member});
}

void CClanbookDlg::AddMemberRows(const std::vector<const MemberNode*>& members) {
  m_listModel->AppendMembers(members);
}

void CClanbookDlg::AddNoteRow(const QString& text) {
  m_listModel->AppendNote(text);
}

void CClanbookDlg::ListGeneration(MemberNode* link, bool& found, int depth, int target) {
  // Pre-order, left to right, without descending below the target generation.
  // Walked with an explicit stack: a chain of many generations must not
  // exhaust the call stack.
  std::vector<std::pair<MemberNode*, int>> pending;
  std::vector<const MemberNode*> rows;
  pending.emplace_back(link, depth);
  while (!pending.empty()) {
    auto [member, generation] = pending.back();
    pending.pop_back();
    while (member) {
      if (generation == target) {
        found = true;
        rows.push_back(member);
        member = member->nextSibling;
      } else if (member->firstChild && generation < target) {
        pending.emplace_back(member->nextSibling, generation);
        member = member->firstChild;
        ++generation;
      } else {
        member = member->nextSibling;
      }
    }
  }
  AddMemberRows(rows);
}

void CClanbookDlg::EnableMemberButtons(bool enable) {
  for (int id : kMemberButtons) {
    if (QAbstractButton* b = button(id)) b->setEnabled(enable);
  }
}

void CClanbookDlg::ShowTodaysBirthdays() {
  const LocalDate today = Today();
  std::vector<MemberNode*> born = m_document.Genealogy().FindByBirthday(today.month, today.day);
  // The Chinese birthdays and 忌日 only when the user asked for them.
  const LunarDaysToday lunar =
      FindLunarDays(m_document.Genealogy().Root(), today, clanbook_settings::LunarBirthdays(),
                    clanbook_settings::DeathDays());
  std::vector<MemberNode*> lunarBorn;
  for (MemberNode* member : lunar.births)
    if (std::find(born.begin(), born.end(), member) == born.end()) lunarBorn.push_back(member);
  if (born.empty() && lunarBorn.empty() && lunar.deathDays.empty()) return;
  QStringList parts;
  if (!born.empty()) parts << BirthdayText(tr("今天为以下家族成员的生日:%1"), born);
  if (!lunarBorn.empty()) parts << BirthdayText(tr("今天为以下家族成员的农历生日:%1"), lunarBorn);
  if (!lunar.deathDays.empty())
    parts << BirthdayText(tr("今天为以下先人的忌日（农历）:%1"), lunar.deathDays);
  // Without the lunar days the text is the seed's, word for word.
  const QString text =
      lunarBorn.empty() && lunar.deathDays.empty()
          ? BirthdayText(tr("今天为以下家族成员的生日:%1\n详细信息请见以下列表."), born)
          : parts.join(u'\n') + u'\n' + tr("详细信息请见以下列表.");
  ShowInformation(this, tr("注意："), text);
  ClearList();
  std::vector<const MemberNode*> rows(born.begin(), born.end());
  rows.insert(rows.end(), lunarBorn.begin(), lunarBorn.end());
  for (MemberNode* member : lunar.deathDays)
    if (std::find(rows.begin(), rows.end(), member) == rows.end()) rows.push_back(member);
  AddMemberRows(rows);
}

QString CClanbookDlg::BirthdayText(const QString& text, const std::vector<MemberNode*>& members) {
  QString names;
  for (const MemberNode* member : members) {
    names += QLatin1String("  ");
    names += QString::fromStdU16String(member->name);
    names += QLatin1String("  ");
  }
  return text.arg(names);
}

MemberNode* CClanbookDlg::FindMember(const QString& name) const {
  MemberNode* found = m_document.Genealogy().FindByName(name.toStdU16String());
  return found;
}

QString CClanbookDlg::NotFoundText(const QString& name) {
  return tr("本家谱中找不到%1!").arg(name);
}

MemberNode* CClanbookDlg::SelectedMember() const {
  const QModelIndexList selected = m_treeCtrl->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? nullptr : GenealogyTreeModel::MemberAt(selected.first());
}

QString CClanbookDlg::SelectedLabel() const {
  const MemberNode* member = SelectedMember();
  return member ? QString::fromStdU16String(member->name) : QString();
}

void CClanbookDlg::OnTreeSelChanged() {
  if (m_quietSelection) return;
  // Losing the selection (the view allows no other way) leaves the list alone.
  if (m_treeCtrl->selectionModel()->selectedIndexes().isEmpty()) return;
  const MemberNode* member = SelectedMember();
  if (!member) {
    ShowNotice(tr("程序出现不明错误!"));
    return;
  }
  ClearList();
  AddMemberRow(member);
}
