// The main window: holds the open genealogy's document for its whole life,
// shows it in a tree view and a list view, and runs every command of the menu
// and the buttons. Edits go to the document as undoable commands; the views
// follow the document's announcements by themselves.
// The commands live in one file per family: file, edit, query and help.
#pragma once

#include "dialogs/IMemberAdder.h"
#include "document/GenealogyDocument.h"
#include "model/COperationClanbook.h"
#include "platform/CDialog.h"
#include "search/GenerationPoem.h"
#include "views/GenealogyTreeView.h"

#include <QKeySequence>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QAction;
class QPushButton;
class QMenu;
class QMenuBar;
class QTableView;
class QTreeView;
class QLabel;
class QItemSelection;
class CHyperLink;
class GenealogyTreeModel;
class MemberListModel;
class CAddInfoDlg;
class CModifyInfoDlg;
class MemberSearchBar;
class MemberSearchIndex;
class ChartWindow;
class StatisticsWindow;
class QTimer;

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

  // Runs the command bound to `id`, exactly as its menu item or button does.
  void RunCommand(int id);
  // Opens `fileName` as a successful Open does, or reports the failure as Open
  // does; used for a file named on the command line.
  void OpenAtStart(const QString& fileName);
  // Asks for a file name in the file commands' dialog. None when the user
  // cancelled or left the name empty (the latter after its message).
  static std::optional<QString> AskFileName(QWidget* owner, bool open);

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

  // --- file commands ---
  void PromptSave();
  void OnNewGenealogy();
  void OnOpenGenealogy();
  void OnSaveGenealogy();
  void OnSaveGenealogyAs();
  void OnExit();
  // --- GEDCOM commands (GedcomCommands.cpp) ---
  void InstallGedcomCommands();
  void OnExportGedcom();
  void OnImportGedcom();
  // Imports `fileName` (after the save prompt), as a .ged dropped on the window
  // is; an empty name asks for one first.
  void ImportGedcom(const QString& fileName);
  // --- edit commands ---
  void OnAddChild();
  void OnAddMember();
  void OnChangeData();
  void OnDeleteSelected();
  void OnDeleteMember();
  void OnModifyMember();
  void OnUndo();
  void OnRedo();
  // --- query commands ---
  void OnPersonalInfo();
  void OnGenerationInfo();
  void OnRelations();
  void OnSortByBirth();
  void OnFindBirthday();
  // 称谓… (KinshipCommands.cpp): what two members call each other.
  void OnKinship();
  // --- find, 字辈 and the keys of the repeated commands (FindCommands.cpp) ---
  void OnGenerationPoem();
  // After Open: says why the poem file beside the book was not read, if it was not.
  void ReportUnreadPoem();
  // Shows `text` unless it was shown since the book was opened or begun: for
  // what every save of the book would say again.
  void ShowNoticeOnce(const QString& text);
  // Selects `member` in the tree and scrolls to him, opening his line of
  // fathers; none: nothing happens.
  void RevealMember(MemberNode* member);
  MemberSearchBar* searchBar() const { return m_searchBar; }
  // --- help commands ---
  void OnAbout();
  void OnHelpPage();
  void OnFeedbackMail();
  void OnSysCommand(int id);
  // --- 修谱: branch commands (BranchCommands.cpp) ---
  // Saves the selected member and his descendants as a book of their own.
  void OnExportBranch();
  // Reads a branch, shows the review and carries out the merge as one edit.
  void OnMergeBranch();
  // --- chart commands (ChartCommands.cpp) ---
  void OnLineageChart();
  void OnStatistics();
  void OnExportChart();
  void OnPrintChart();
  void OnPrintPreviewChart();
  // The chart and statistics windows; none until first opened.
  ChartWindow* chartWindow() const { return m_chartWindow; }
  StatisticsWindow* statisticsWindow() const { return m_statisticsWindow; }

  // The open book: its genealogy, file name, modified flag and undo stack.
  GenealogyDocument& document() { return m_document; }
  const GenealogyDocument& document() const { return m_document; }
  QTableView* listView() const { return m_listCtrl; }
  GenealogyTreeView* treeView() const { return m_treeCtrl; }
  CHyperLink* hyperLink() const { return m_hyperLink; }

  GenealogyTreeModel* treeModel() const { return m_treeModel; }
  MemberListModel* listModel() const { return m_listModel; }
  QAbstractButton* button(int id) const;
  QMenuBar* menuBar() const { return m_menuBar; }
  // The menu item bound to `id` (object name "idm_<id>"); none for an id without one.
  QAction* MenuAction(int id) const;

protected:
  bool OnInitDialog() override;
  void OnOK() override;      // Enter ends the window through the close path
  void OnCancel() override;  // so do Esc and the close box
  void OnTreeSelChanged();

  // Close path: offers to save a modified genealogy. False keeps the window
  // open (the user chose to save and nothing was written).
  bool CanClose();
  // Offers to save a modified genealogy before it is replaced: whether the
  // user may go on. The modified flag is left as the answer makes it.
  bool OfferToSave();

private:
  // The document comes first: built before everything that refers to it.
  GenealogyDocument m_document;
  QTableView* m_listCtrl = nullptr;
  GenealogyTreeView* m_treeCtrl = nullptr;
  CHyperLink* m_hyperLink = nullptr;

  void BuildLayout();
  void BuildMenu();
  void BuildEditMenu(QMenu* menu);
  // 修谱: 导出支谱… in the 家谱 menu, 合并支谱… in the 文件 menu before 退出.
  void InstallBranchCommands();
  // 称谓… in the 家谱 menu, after 确定两人关系.
  void InstallKinshipCommands();
  // 五服图… in the 家谱 menu, after 称谓… (MourningCommands.cpp).
  void InstallMourningCommands();
  // 成员资料… and 谱书资料… in the 家谱 menu, after 修改个人信息 (RecordCommands.cpp).
  void InstallRecordCommands();
  // Adds a named command to `menu`, before `before` when given (else at the
  // end), with its shortcuts; the object name lets tests and screen readers
  // find it. Each feature adds its commands through this, in its own file.
  QAction* AddMenuCommand(QMenu* menu, const QString& text, const QString& objectName,
                          std::function<void()> handler, const QList<QKeySequence>& keys = {},
                          QAction* before = nullptr);
  // After an edit, undo or redo: the list is emptied as after every edit, and
  // the tree shows and selects the member concerned, its families expanded
  // as the user left them.
  void ShowConcerned(MemberNode* member);
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
  // Edit commands shared by the selection and name-based variants.
  void ChangeMember(MemberNode* member);
  void DeleteWithQuestion(MemberNode* member, const QString& name, bool fullWidthMark);

  // --- file comforts (FileCommands.cpp): shortcuts, the recent files, the
  // kept previous version, files dropped on the window, and where the window
  // stood last time ---
public:
  // Opens a file of the 最近打开的文件 menu as Open does; a file that is gone
  // is said so and leaves the menu.
  void OpenRecentFile(const QString& fileName);
  // Opens a file dropped on the window, after the save prompt.
  void OpenDroppedFile(const QString& fileName);

private:
  void InitFileCommands();
  void RebuildRecentFilesMenu();
  void RestoreWindowState();
  void SaveWindowState() const;
  QMenu* m_recentMenu = nullptr;
  // --- end of file comforts ---
  // --- find, 字辈 and the keys of the repeated commands (FindCommands.cpp) ---
  void SetUpFindCommands();
  void FollowDocumentForSearch();
  // The name the add dialog offers for a child of `father`; empty without a 字辈.
  QString SuggestedNameOfChild(const MemberNode* father) const;
  // After Open or New: the 字辈 is the one beside the book's file, if any.
  void TakePoemOfBook();
  // Writes the 字辈 beside `bookFile`; says so when it cannot (`atSave`: once
  // for a name that cannot take it).
  void WritePoemBeside(const QString& bookFile, bool atSave);
  std::unique_ptr<MemberSearchIndex> m_searchIndex;
  MemberSearchBar* m_searchBar = nullptr;
  GenerationPoem m_poem;
  QString m_poemSurname;  // as the user corrected it; empty: read off the book
  // The book file the 字辈 was read from or written beside; a save under
  // another name writes it there too.
  QString m_poemBook;
  // The 字辈 changed while it could not be written: the next save writes it.
  bool m_poemUnwritten = false;
  bool m_bookReplaced = false;  // Open or New under way, not a mere reset
  // Why the poem file beside the book just opened was not read; kOk: it was,
  // or there is none, or that was said.
  PoemFileResult m_poemUnread;
  QSet<QString> m_noticesGiven;  // by ShowNoticeOnce, since the book was opened

  GenealogyTreeModel* m_treeModel = nullptr;
  MemberListModel* m_listModel = nullptr;
  QMenuBar* m_menuBar = nullptr;
  QMenu* m_fileMenu = nullptr;
  QMenu* m_editMenu = nullptr;
  QMenu* m_bookMenu = nullptr;
  QMenu* m_viewMenu = nullptr;
  std::map<int, QAbstractButton*> m_buttons;
  std::vector<QPushButton*> m_buttonOrder;  // template order, for the tab chain
  std::map<int, QAction*> m_actions;
  bool m_closing = false;
  // The tree's selection changes without the list following it.
  bool m_quietSelection = false;

  // --- 查看 → 日期 and the lunar days at Open (DateCommands.cpp) ---
  void InstallDateCommands();
  // The list's date columns as wide as the dates they show: the seed's width
  // for 公历, wider for the Chinese words.
  void FitDateColumns();

  // --- charts (ChartCommands.cpp) ---
  void InstallChartCommands();
  // The windows follow the document: members leaving let go of the chart at
  // once, and one refresh after the event answers any number of changes.
  // `leaving` (none: every member) may leave the book, with his descendants
  // unless `alone`.
  void DropChartMembers(const MemberNode* leaving, bool alone);
  void RefreshCharts();
  // The member a chart command starts from, or none with a notice for an
  // empty book.
  MemberNode* ChartStart();
  ChartWindow* m_chartWindow = nullptr;
  StatisticsWindow* m_statisticsWindow = nullptr;
  QTimer* m_chartRefresh = nullptr;
  bool m_chartStartsOver = false;
};
