// The main window: holds the open genealogy's document for its whole life,
// shows it in a tree view and a list view, builds the menus and the buttons
// and connects each command to the part that does it. Edits go to the
// document as undoable commands; the views follow the document's
// announcements by themselves.
//
// The parts, each beside the document and told of its changes by it:
// BookFiles (opening and saving the book), SearchFollower (the search box and
// its index), ChartController (the chart and statistics windows) and
// PoemKeeper (the 字辈). The commands that are the window's own live in one
// file per family (EditCommands.cpp, QueryCommands.cpp, ...).
#pragma once

#include "dialogs/IMemberAdder.h"
#include "document/GenealogyDocument.h"
#include "mainwindow/BookFiles.h"
#include "mainwindow/ChartController.h"
#include "mainwindow/PoemKeeper.h"
#include "mainwindow/SearchFollower.h"
#include "platform/CDialog.h"
#include "views/GenealogyTreeModel.h"
#include "views/GenealogyTreeView.h"
#include "views/MemberListModel.h"

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QTableView>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAbstractButton;
class QAction;
class QPushButton;
class QMenu;
class QMenuBar;
class CHyperLink;
class CAddInfoDlg;
class MemberSearchBar;
class ChartWindow;
class StatisticsWindow;

// Command identifiers: a menu item and a button that run the same command share one.
enum CommandId : int {
  ID_SYS_ABOUT = 16,
  ID_FIND_BIRTHDAY = 1064,
  ID_OPEN = 32772,
  ID_SAVE = 32773,
  ID_EXIT = 32774,
  ID_ABOUT = 32775,
  ID_GENERATION = 32776,
  ID_PERSONAL_INFO = 32777,
  ID_RELATIONS = 32778,
  ID_ADD_MEMBER = 32779,
  ID_DELETE_MEMBER = 32780,
  ID_MODIFY_MEMBER = 32781,
  ID_DELETE_SELECTED = 32782,
  ID_ADD_CHILD = 32783,
  ID_CHANGE_DATA = 32784,
  ID_SORT_BY_BIRTH = 32785,
  ID_SAVE_AS = 32786,
  ID_NEW = 32788,
  ID_FEEDBACK = 32791,
  ID_UNDO = 57643,
  ID_REDO = 57644,
  ID_HELP = 57670,
};

class CClanbookDlg : public CDialog, public IMemberAdder {
  Q_OBJECT
public:
  explicit CClanbookDlg(QWidget* parent = nullptr);
  ~CClanbookDlg() override;

  // Opens `fileName` as a successful Open does, or reports the failure as Open
  // does; used for a file named on the command line.
  void OpenAtStart(const QString& fileName);
  // A command of the window's system menu; the about entry opens the about box.
  void OnSysCommand(int id);

  // --- view operations ---
  // The genealogy was replaced behind the document's back: the views start
  // over, every item collapsed, and the edits before can no longer be undone.
  void RebuildTreeView();
  void ClearList();
  void AddMemberRow(const MemberNode* member);
  // The rows of many members at once, in the order given.
  void AddMemberRows(const std::vector<const MemberNode*>& members);
  void AddNoteRow(const QString& text);
  void ListGeneration(MemberNode* link, bool& found, int depth, int target);
  void EnableMemberButtons(bool enable);
  void ShowTodaysBirthdays();
  // The member behind the tree view's selected item; none when nothing is selected.
  MemberNode* SelectedMember() const;
  // Label of the selected item; empty when nothing is selected.
  QString SelectedLabel() const;

  // --- add, called by the add dialog's OK while it is still open ---
  int AddMember(CAddInfoDlg& dialog) override;

  // The open book: its genealogy, file name, modified flag and undo stack.
  GenealogyDocument& document() { return m_document; }
  const GenealogyDocument& document() const { return m_document; }
  QTableView* listView() const { return m_listCtrl.get(); }
  GenealogyTreeView* treeView() const { return m_treeCtrl.get(); }
  CHyperLink* hyperLink() const { return m_hyperLink; }
  GenealogyTreeModel* treeModel() const { return m_treeModel.get(); }
  MemberListModel* listModel() const { return m_listModel.get(); }
  MemberSearchBar* searchBar() const { return m_search.Bar(); }
  // The chart and statistics windows; none until first opened.
  ChartWindow* chartWindow() const { return m_charts.Chart(); }
  StatisticsWindow* statisticsWindow() const { return m_charts.Statistics(); }
  QAbstractButton* button(int id) const;
  QMenuBar* menuBar() const { return m_menuBar; }
  // The menu item bound to `id` (object name "idm_<id>"); none for an id without one.
  QAction* MenuAction(int id) const;

protected:
  bool OnInitDialog() override;
  void OnOK() override;      // Enter ends the window through the close path
  void OnCancel() override;  // so do Esc and the close box

private:
  // Declared in the order of their lives: the document first, since every
  // other member refers to it, then its models, the parts, and the views,
  // which are destroyed first. The views and the search bar are also the
  // window's Qt children, for the layout; they are gone before the window's
  // base deletes its remaining children (buttons, menus), which hold no member.
  GenealogyDocument m_document;
  std::unique_ptr<GenealogyTreeModel> m_treeModel;
  std::unique_ptr<MemberListModel> m_listModel;
  BookFiles m_files;
  PoemKeeper m_poem;
  SearchFollower m_search;
  ChartController m_charts;
  std::unique_ptr<GenealogyTreeView> m_treeCtrl;
  std::unique_ptr<QTableView> m_listCtrl;
  CHyperLink* m_hyperLink = nullptr;

  QMenuBar* m_menuBar = nullptr;
  QMenu* m_fileMenu = nullptr;
  QMenu* m_editMenu = nullptr;
  QMenu* m_bookMenu = nullptr;
  QMenu* m_viewMenu = nullptr;
  QMenu* m_recentMenu = nullptr;
  std::map<int, QAbstractButton*> m_buttons;
  std::vector<QPushButton*> m_buttonOrder;  // template order, for the tab chain
  std::map<int, QAction*> m_actions;        // the menu items with an id
  bool m_closing = false;
  // The tree's selection changes without the list following it.
  bool m_quietSelection = false;

  void BuildLayout();
  void BuildMenu();
  void BuildEditMenu();
  // Adds a named command to `menu`, before `before` when given (else at the
  // end), with its shortcuts; the object name lets tests and screen readers
  // find it. Each feature adds its commands through this, in its own file.
  QAction* AddMenuCommand(QMenu* menu, const QString& text, const QString& objectName,
                          std::function<void()> handler, const QList<QKeySequence>& keys = {},
                          QAction* before = nullptr);
  // Runs the command bound to `id`, whichever of its action or button asked.
  void RunCommand(int id);
  void OnTreeSelChanged();
  // After an edit, undo or redo: the list is emptied as after every edit, and
  // the tree shows and selects the member concerned, its families expanded
  // as the user left them.
  void ShowConcerned(MemberNode* member);
  // Selects `member` in the tree and scrolls to him, opening his line of
  // fathers; none: nothing happens.
  void RevealMember(MemberNode* member);
  void InitListColumns();
  // Every way out of the window: the close path decides whether it closes.
  void EndThroughClosePath(int result);
  // The first member in pre-order bearing `name`, as every command looks one up.
  MemberNode* FindMember(const QString& name) const;
  // "本家谱中找不到<name>!", the answer of the commands to a name nobody bears.
  static QString NotFoundText(const QString& name);
  // `text` with %1 replaced by every member's name with two blanks on each
  // side: the text of both birthday announcements.
  static QString BirthdayText(const QString& text, const std::vector<MemberNode*>& members);

  // --- file commands (FileCommands.cpp) ---
  void InstallFileCommands();
  void RebuildRecentFilesMenu();
  void RestoreWindowState();
  void SaveWindowState() const;
  void OnNewGenealogy();
  void OnExit();
  // --- GEDCOM commands (GedcomCommands.cpp) ---
  void InstallGedcomCommands();
  void OnExportGedcom();
  // Imports `fileName` (after the save prompt), as a .ged dropped on the window
  // is; an empty name asks for one first.
  void ImportGedcom(const QString& fileName);
  // --- edit commands (EditCommands.cpp) ---
  void OnAddChild();
  void OnAddMember();
  void OnChangeData();
  void OnDeleteSelected();
  void OnDeleteMember();
  void OnModifyMember();
  void ChangeMember(MemberNode* member);
  void DeleteWithQuestion(MemberNode* member, const QString& name, bool fullWidthMark);
  // --- query commands (QueryCommands.cpp) ---
  void OnPersonalInfo();
  void OnGenerationInfo();
  void OnRelations();
  void OnSortByBirth();
  void OnFindBirthday();
  // --- help commands (HelpCommands.cpp) ---
  void OnAbout();
  void OnHelpPage();
  void OnFeedbackMail();
  // --- find, 字辈 and the keys of the repeated commands (FindCommands.cpp) ---
  void InstallFindCommands();
  // --- 修谱 (BranchCommands.cpp): 导出支谱… in the 家谱 menu, 合并支谱… in the
  // 文件 menu before 退出 ---
  void InstallBranchCommands();
  void OnExportBranch();
  void OnMergeBranch();
  // --- 称谓… in the 家谱 menu, after 确定两人关系 (KinshipCommands.cpp) ---
  void InstallKinshipCommands();
  void OnKinship();
  // --- 五服图… in the 家谱 menu, after 称谓… (MourningCommands.cpp) ---
  void InstallMourningCommands();
  // 成员资料… and 谱书资料… in the 家谱 menu, after 修改个人信息 (RecordCommands.cpp).
  void InstallRecordCommands();
  // --- 世系图, statistics, chart export and printing (ChartCommands.cpp) ---
  void InstallChartCommands();
  // --- 文件 → 导出谱书…, the printed book (BookCommands.cpp) ---
  void InstallBookCommands();
  void OnExportBook();
  // --- 查看 → 日期 and the lunar days at Open (DateCommands.cpp) ---
  void InstallDateCommands();
  // The list's date columns as wide as the dates they show: the seed's width
  // for 公历, wider for the Chinese words.
  void FitDateColumns();
};
