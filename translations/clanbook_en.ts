<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutDlg</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Morvane软件 设计制作</source>
        <translation>Designed and made by Morvane Software</translation>
    </message>
    <message>
        <source>Morvane软件标志</source>
        <translation>Morvane Software logo</translation>
    </message>
    <message>
        <source>声明</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Morvane出品 必属精品</source>
        <translation>Morvane Software: made with care</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AddInfoDlg</name>
    <message>
        <source>添加信息表</source>
        <translation>Add a Member</translation>
    </message>
    <message>
        <source>添加信息</source>
        <translation>New member</translation>
    </message>
    <message>
        <source>姓名：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>父亲姓名：</source>
        <translation>Father&apos;s name:</translation>
    </message>
    <message>
        <source>  ( -1表示根节点 )</source>
        <translation>  (-1 makes this member the root ancestor)</translation>
    </message>
    <message>
        <source>出生日期：</source>
        <translation>Date of birth:</translation>
    </message>
    <message>
        <source>出生日期：年</source>
        <translation>Date of birth: year</translation>
    </message>
    <message>
        <source>年</source>
        <translation>year</translation>
    </message>
    <message>
        <source>出生日期：月</source>
        <translation>Date of birth: month</translation>
    </message>
    <message>
        <source>月</source>
        <translation>month</translation>
    </message>
    <message>
        <source>出生日期：日</source>
        <translation>Date of birth: day</translation>
    </message>
    <message>
        <source>日</source>
        <translation>day</translation>
    </message>
    <message>
        <source>地址：</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>健在否</source>
        <translation>Living</translation>
    </message>
    <message>
        <source>婚否</source>
        <translation>Married</translation>
    </message>
    <message>
        <source>死亡日期：</source>
        <translation>Date of death:</translation>
    </message>
    <message>
        <source>死亡日期：年</source>
        <translation>Date of death: year</translation>
    </message>
    <message>
        <source>死亡日期：月</source>
        <translation>Date of death: month</translation>
    </message>
    <message>
        <source>死亡日期：日</source>
        <translation>Date of death: day</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>出生日期（农历或年号）：</source>
        <translation>Chinese date of birth:</translation>
    </message>
    <message>
        <source>1890-3-5、光绪十六年二月十五、光绪十六年闰二月十五或庚寅年二月十五</source>
        <translation>1890-3-5, 光绪十六年二月十五, 光绪十六年闰二月十五 or 庚寅年二月十五</translation>
    </message>
    <message>
        <source>死亡日期（农历或年号）：</source>
        <translation>Chinese date of death:</translation>
    </message>
</context>
<context>
    <name>AtomicSaveFile</name>
    <message>
        <source>它是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>它不是普通文件（而是设备、管道或套接字）</source>
        <translation>it is no ordinary file (but a device, a pipe or a socket)</translation>
    </message>
    <message>
        <source>它所在的文件夹不存在</source>
        <translation>the folder it would go in does not exist</translation>
    </message>
    <message>
        <source>它所在的磁盘是只读的</source>
        <translation>its disk is read-only</translation>
    </message>
    <message>
        <source>没有写入该文件或其文件夹的权限</source>
        <translation>there is no permission to write the file or its folder</translation>
    </message>
    <message>
        <source>该文件属于其他用户，请另存为自己的文件</source>
        <translation>the file belongs to another user; save it as a file of your own</translation>
    </message>
    <message>
        <source>它是本次要读取的文件</source>
        <translation>it is a file this command reads</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>磁盘已满或写入出错</source>
        <translation>the disk is full or a write failed</translation>
    </message>
    <message>
        <source>%1 是正在编辑的家谱文件，导出的内容不能保存到它里面!</source>
        <translation>%1 is the genealogy file being edited: an export cannot be saved into it.</translation>
    </message>
    <message>
        <source>GEDCOM 文本超过 4 GiB，压缩包装不下</source>
        <translation>the GEDCOM text passes 4 GiB, more than the archive can hold</translation>
    </message>
</context>
<context>
    <name>BirthdayDlg</name>
    <message>
        <source>按照生日查找</source>
        <translation>Find by Birthday</translation>
    </message>
    <message>
        <source>请输入查询的生日:</source>
        <translation>Birthday to look for:</translation>
    </message>
    <message>
        <source>月</source>
        <translation>month</translation>
    </message>
    <message>
        <source>日</source>
        <translation>day</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>BookDataDialog</name>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>谱书资料</source>
        <translation>Book Data</translation>
    </message>
    <message>
        <source>未填</source>
        <translation>Not given</translation>
    </message>
    <message>
        <source>谱书</source>
        <translation>Book</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>字辈…</source>
        <translation>Generation poem…</translation>
    </message>
    <message>
        <source>自第 %1 世起</source>
        <translation>from generation %1</translation>
    </message>
</context>
<context>
    <name>BookFont</name>
    <message>
        <source>字体文件 %1 中没有名为“%2”的字体。</source>
        <translation>The font file %1 holds no face named “%2”.</translation>
    </message>
    <message>
        <source>字体“%1”的字形是 CFF 轮廓，无法嵌入子集；请选用 TrueType 字体（如 AR PL UMing）。</source>
        <translation>The face “%1” has CFF outlines, which cannot be embedded as a subset; choose a TrueType face (such as AR PL UMing).</translation>
    </message>
    <message>
        <source>字体文件 %1 已损坏（%2 表）。</source>
        <translation>The font file %1 is damaged (its %2 table).</translation>
    </message>
    <message>
        <source>无法读取字体文件 %1：%2。</source>
        <translation>Cannot read the font file %1: %2.</translation>
    </message>
</context>
<context>
    <name>BookWords</name>
    <message>
        <source>封面</source>
        <translation>Cover</translation>
    </message>
    <message>
        <source>谱序</source>
        <translation>Preface</translation>
    </message>
    <message>
        <source>凡例</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>家训</source>
        <translation>Family precepts</translation>
    </message>
    <message>
        <source>字辈</source>
        <translation>Generation poem</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>世系图</source>
        <translation>Lineage tables</translation>
    </message>
    <message>
        <source>世系录</source>
        <translation>Life records</translation>
    </message>
    <message>
        <source>人名索引</source>
        <translation>Index of names</translation>
    </message>
    <message>
        <source>第%1世</source>
        <translation>Generation %1</translation>
    </message>
    <message>
        <source>%1年修</source>
        <translation>Compiled in %1</translation>
    </message>
    <message>
        <source>编修：%1</source>
        <translation>Editors: %1</translation>
    </message>
    <message>
        <source>郡望：%1</source>
        <translation>Clan seat: %1</translation>
    </message>
    <message>
        <source>%1画</source>
        <translation>%1 strokes</translation>
    </message>
    <message>
        <source>%1氏族谱</source>
        <translation>The %1 Clan Book</translation>
    </message>
    <message>
        <source>谱中没有名为“%1”的人。</source>
        <translation>Nobody in the book is named “%1”.</translation>
    </message>
    <message>
        <source>谱中还没有人，无从成书。</source>
        <translation>The book has no members yet, so there is nothing to print.</translation>
    </message>
    <message>
        <source>谱书的导出已停止，原有文件未改动。</source>
        <translation>The export of the book was stopped; the existing file was left unchanged.</translation>
    </message>
    <message>
        <source>找不到排印谱书的字体%1。请安装 Debian 软件包 fonts-arphic-uming，或选择另一个 TrueType 字体。</source>
        <translation>The typeface for the book, %1, cannot be found. Install the Debian package fonts-arphic-uming or choose another TrueType face.</translation>
    </message>
    <message>
        <source>无法写入文件“%1”。</source>
        <translation>Cannot write the file “%1”.</translation>
    </message>
    <message>
        <source>无法写入文件“%1”：%2。</source>
        <translation>Cannot write the file “%1”: %2.</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Designed and made by Morvane Software</source>
        <translation>Designed and made by Morvane Software</translation>
    </message>
    <message>
        <source>版权声明：Morvane家谱制作软件的程序、文档和图标的著作权归 Morvane软件 所有，受《中华人民共和国著作权法》和有关国际条约的保护。
未经 Morvane软件 书面许可，任何单位和个人不得复制、修改、出租、出售或通过网络传播本软件的全部或任何部分；违者须承担由此引起的全部法律责任，Morvane软件 将依法追究。
您用本软件记录的家谱资料归您本人所有。</source>
        <translation>Copyright notice: the program, documentation and icons of Clanbook are the property of Morvane Software and are protected by the Copyright Law of the People&apos;s Republic of China and by international treaties.
No part of this software may be copied, modified, rented, sold or distributed over a network without the written permission of Morvane Software; whoever does so bears full legal responsibility, and Morvane Software will take legal action.
The family records you keep with this software belong to you.</translation>
    </message>
    <message>
        <source>Thank you for keeping your family&apos;s history with this program. If you have a question, run into a problem, or have an idea that would make the program better, please write to the Morvane support team at %1. Tell us what you were doing and what you saw; we read every message and answer as soon as we can.</source>
        <translation>Thank you for keeping your family&apos;s history with this program. If you have a question, run into a problem, or have an idea that would make the program better, please write to the Morvane support team at %1. Tell us what you were doing and what you saw; we read every message and answer as soon as we can.</translation>
    </message>
    <message>
        <source>关于 %1</source>
        <translation>About %1</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>About %1</translation>
    </message>
</context>
<context>
    <name>CClanbookDlg</name>
    <message>
        <source>Morvane家谱制作软件 4.0</source>
        <translation>Clanbook 4.0</translation>
    </message>
    <message>
        <source>家谱</source>
        <translation>Genealogy</translation>
    </message>
    <message>
        <source>成员列表</source>
        <translation>Member list</translation>
    </message>
    <message>
        <source>文件操作</source>
        <translation>File</translation>
    </message>
    <message>
        <source>新建家谱</source>
        <translation>New genealogy</translation>
    </message>
    <message>
        <source>打开家谱</source>
        <translation>Open genealogy</translation>
    </message>
    <message>
        <source>保存家谱</source>
        <translation>Save genealogy</translation>
    </message>
    <message>
        <source>另存家谱</source>
        <translation>Save genealogy as</translation>
    </message>
    <message>
        <source>家谱控制</source>
        <translation>Genealogy tools</translation>
    </message>
    <message>
        <source>删除该人</source>
        <translation>Delete this member</translation>
    </message>
    <message>
        <source>增加孩子</source>
        <translation>Add child</translation>
    </message>
    <message>
        <source>更改资料</source>
        <translation>Change details</translation>
    </message>
    <message>
        <source>某代信息</source>
        <translation>List a generation</translation>
    </message>
    <message>
        <source>按照姓名查找</source>
        <translation>Find by name</translation>
    </message>
    <message>
        <source>确定两人关系</source>
        <translation>Compare two members</translation>
    </message>
    <message>
        <source>出生日期排序</source>
        <translation>Sort by birth date</translation>
    </message>
    <message>
        <source>按照生日查找</source>
        <translation>Find by birthday</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>第 i 代人信息</source>
        <translation>Members of a generation</translation>
    </message>
    <message>
        <source>个人信息</source>
        <translation>Member details</translation>
    </message>
    <message>
        <source>添加个人</source>
        <translation>Add member</translation>
    </message>
    <message>
        <source>修改个人信息</source>
        <translation>Change a member&apos;s details</translation>
    </message>
    <message>
        <source>删除个人</source>
        <translation>Delete a member</translation>
    </message>
    <message>
        <source>对所有人按出生日期排序</source>
        <translation>Sort everyone by birth date</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>官方主页</source>
        <translation>Official website</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>注意：</source>
        <translation>Reminder</translation>
    </message>
    <message>
        <source>今天为以下家族成员的生日:%1
详细信息请见以下列表.</source>
        <translation>Today is the birthday of these family members:%1
Their details are in the list below.</translation>
    </message>
    <message>
        <source>本家谱中找不到%1!</source>
        <translation>%1 is not in this genealogy.</translation>
    </message>
    <message>
        <source>程序出现不明错误!</source>
        <translation>An unknown error occurred in the program.</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>姓名不能为空!</source>
        <translation>The name cannot be empty.</translation>
    </message>
    <message>
        <source>姓名和地址中不能含有空白字符!</source>
        <translation>The name and the address cannot contain spaces.</translation>
    </message>
    <message>
        <source>姓名不能为end或-1!</source>
        <translation>The name cannot be &quot;end&quot; or &quot;-1&quot;.</translation>
    </message>
    <message>
        <source>地址不能为end!</source>
        <translation>The address cannot be &quot;end&quot;.</translation>
    </message>
    <message>
        <source>此人信息中出生日期不合实际!</source>
        <translation>The date of birth is not a real date.</translation>
    </message>
    <message>
        <source>此人的出生日期不能早于或等于其父亲的出生日期!</source>
        <translation>The date of birth cannot be earlier than or equal to the father&apos;s date of birth.</translation>
    </message>
    <message>
        <source>此人的出生日期不能晚于或等于其孩子的出生日期!</source>
        <translation>The date of birth cannot be later than or equal to a child&apos;s date of birth.</translation>
    </message>
    <message>
        <source>家谱中已有此人!</source>
        <translation>A member of that name is already in the genealogy.</translation>
    </message>
    <message>
        <source>确实要置此结点为根结点吗？</source>
        <translation>Do you really want to make this member the root ancestor?</translation>
    </message>
    <message>
        <source>父亲结点没找到!</source>
        <translation>The father is not in the genealogy.</translation>
    </message>
    <message>
        <source>个人信息中的出生日期不合实际!</source>
        <translation>The date of birth is not a real date.</translation>
    </message>
    <message>
        <source>所加入孩子的出生日期比其父亲的出生日期早，不合实际!</source>
        <translation>The child&apos;s date of birth is earlier than the father&apos;s, which is impossible.</translation>
    </message>
    <message>
        <source>所加入孩子的出生日期与其父亲的出生日期相等，不合实际!</source>
        <translation>The child&apos;s date of birth is the same as the father&apos;s, which is impossible.</translation>
    </message>
    <message>
        <source>新根结点的出生日期不能晚于原根结点的出生日期!</source>
        <translation>The new root ancestor&apos;s date of birth cannot be later than the present root ancestor&apos;s.</translation>
    </message>
    <message>
        <source>个人信息中的死亡日期不合实际!</source>
        <translation>The date of death is not a real date.</translation>
    </message>
    <message>
        <source>此人出生日期不可能比其死亡日期早!</source>
        <translation>The date of birth cannot be later than the date of death.</translation>
    </message>
    <message>
        <source>内存不足!</source>
        <translation>Not enough memory.</translation>
    </message>
    <message>
        <source>此人信息中死亡日期不合实际!</source>
        <translation>The date of death is not a real date.</translation>
    </message>
    <message>
        <source>此人死亡日期不可能比其出生日期早!</source>
        <translation>The date of death cannot be earlier than the date of birth.</translation>
    </message>
    <message>
        <source>请先在家谱树中选择一个成员!</source>
        <translation>Please select a member in the tree first.</translation>
    </message>
    <message>
        <source>%1还有孩子,如果你删除了他,其孩子也一并被删除。你确实想删除此人及其孩子吗？</source>
        <translation>%1 has children; deleting him deletes his children and their descendants too. Do you really want to delete him and his children?</translation>
    </message>
    <message>
        <source>你确实想删除%1吗？</source>
        <translation>Do you really want to delete %1?</translation>
    </message>
    <message>
        <source>你确实想删除%1吗?</source>
        <translation>Do you really want to delete %1?</translation>
    </message>
    <message>
        <source>家谱管理系统</source>
        <translation>Genealogy Manager</translation>
    </message>
    <message>
        <source>文件名不能为空!</source>
        <translation>The file name cannot be empty.</translation>
    </message>
    <message>
        <source>文件无法保存!</source>
        <translation>The file could not be saved.</translation>
    </message>
    <message>
        <source>家谱日期数据不合实际!</source>
        <translation>The genealogy holds a date that is not real.</translation>
    </message>
    <message>
        <source>家谱成员关系有误!</source>
        <translation>The relationships between the members of the genealogy are wrong.</translation>
    </message>
    <message>
        <source>文件无法打开!</source>
        <translation>The file could not be opened.</translation>
    </message>
    <message>
        <source>家谱没有根结点!</source>
        <translation>The genealogy has no root ancestor.</translation>
    </message>
    <message>
        <source>该家谱已被修改，你想保存吗?</source>
        <translation>The genealogy has been changed. Do you want to save it?</translation>
    </message>
    <message>
        <source>在建立新家谱前,将关闭现有的家谱文件,您确定吗?</source>
        <translation>Starting a new genealogy closes the one that is open. Are you sure?</translation>
    </message>
    <message>
        <source>Morvane家谱制作软件 </source>
        <translation>Clanbook</translation>
    </message>
    <message>
        <source>没找到此人!</source>
        <translation>No member of that name was found.</translation>
    </message>
    <message>
        <source>%1的信息请见下部列表.</source>
        <translation>The details of %1 are in the list below.</translation>
    </message>
    <message>
        <source>%1的父亲:</source>
        <translation>Father of %1:</translation>
    </message>
    <message>
        <source>%1的长子:</source>
        <translation>Eldest child of %1:</translation>
    </message>
    <message>
        <source>输入的数必须大于0!</source>
        <translation>The number must be greater than 0.</translation>
    </message>
    <message>
        <source>该代所有成员的信息请见下部列表.</source>
        <translation>All the members of that generation are in the list below.</translation>
    </message>
    <message>
        <source>你输入的数字超出了家谱中的最大代，家谱还没续到此代!</source>
        <translation>The genealogy does not reach that generation yet: the number is beyond its last generation.</translation>
    </message>
    <message>
        <source>%1与%2同在第%3代.</source>
        <translation>%1 and %2 are both in generation %3.</translation>
    </message>
    <message>
        <source>%1在第%2代，%3在第%4代，%1是%3的晚辈.</source>
        <translation>%1 is in generation %2 and %3 in generation %4: %1 belongs to a younger generation than %3.</translation>
    </message>
    <message>
        <source>%1在第%2代，%3在第%4代，%1是%3的长辈.</source>
        <translation>%1 is in generation %2 and %3 in generation %4: %1 belongs to an older generation than %3.</translation>
    </message>
    <message>
        <source>%1在家谱中的位置: %2
%3在家谱中的位置: %4

%5</source>
        <translation>Line of %1 in the genealogy: %2
Line of %3 in the genealogy: %4

%5</translation>
    </message>
    <message>
        <source>排序后结果请见下部列表。</source>
        <translation>The sorted members are in the list below.</translation>
    </message>
    <message>
        <source>没有找到生日为该天的家族成员!</source>
        <translation>No family member has a birthday on that day.</translation>
    </message>
    <message>
        <source>查找结果：</source>
        <translation>Search Results</translation>
    </message>
    <message>
        <source>该天为以下家族成员的生日:%1
详细信息请见以下列表.</source>
        <translation>That day is the birthday of these family members:%1
Their details are in the list below.</translation>
    </message>
    <message>
        <source>修谱</source>
        <translation>Branch Books</translation>
    </message>
    <message>
        <source>合并支谱…</source>
        <translation>Merge branch book…</translation>
    </message>
    <message>
        <source>导出支谱…</source>
        <translation>Export branch book…</translation>
    </message>
    <message>
        <source>支谱不能保存到正在编辑的家谱文件%1中!</source>
        <translation>The branch book cannot be saved into %1, the genealogy file being edited.</translation>
    </message>
    <message>
        <source>%1及其后代共 %2 人已导出为支谱%3。</source>
        <translation>%1 and his descendants (%2 members in all) have been exported as the branch book %3.</translation>
    </message>
    <message>
        <source>支谱文件%1无法读取，家谱未作改动。</source>
        <translation>The branch book file %1 could not be read; the genealogy has not been changed.</translation>
    </message>
    <message>
        <source>家谱中没有支谱的始祖%1，无法合并，家谱未作改动。</source>
        <translation>The branch book&apos;s root ancestor %1 is not in the genealogy, so it cannot be merged; the genealogy has not been changed.</translation>
    </message>
    <message>
        <source>支谱与家谱没有差别，无需合并。</source>
        <translation>The branch book and the genealogy are the same; there is nothing to merge.</translation>
    </message>
    <message>
        <source>世系图…</source>
        <translation>Descendant chart…</translation>
    </message>
    <message>
        <source>统计信息…</source>
        <translation>Statistics…</translation>
    </message>
    <message>
        <source>导出图表…</source>
        <translation>Export chart…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>打印预览…</source>
        <translation>Print preview…</translation>
    </message>
    <message>
        <source>家谱是空的，没有可画的世系图。</source>
        <translation>The genealogy is empty: there is no descendant chart to draw.</translation>
    </message>
    <message>
        <source>家谱是空的，没有可统计的成员。</source>
        <translation>The genealogy is empty: there are no members to count.</translation>
    </message>
    <message>
        <source>家谱是空的，没有可保存的内容!</source>
        <translation>The genealogy is empty: there is nothing to save.</translation>
    </message>
    <message>
        <source>文件%1已被其他程序修改，你想覆盖它吗?</source>
        <translation>The file %1 has been changed by another program. Do you want to overwrite it?</translation>
    </message>
    <message>
        <source>正在保存家谱…</source>
        <translation>Saving the genealogy…</translation>
    </message>
    <message>
        <source>正在打开家谱…</source>
        <translation>Opening the genealogy…</translation>
    </message>
    <message>
        <source>最近打开的文件</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>保存时保留上一版本</source>
        <translation>Keep the previous version when saving</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>文件%1已不存在，已从最近打开的文件中删除!</source>
        <translation>The file %1 no longer exists; it has been removed from the recent files.</translation>
    </message>
    <message>
        <source>地址不能为空!</source>
        <translation>The address cannot be empty.</translation>
    </message>
    <message>
        <source>姓名超过127个字符!</source>
        <translation>The name is longer than 127 characters.</translation>
    </message>
    <message>
        <source>地址超过127个字符!</source>
        <translation>The address is longer than 127 characters.</translation>
    </message>
    <message>
        <source>姓名中不能有空格或换行!</source>
        <translation>The name cannot contain spaces or line breaks.</translation>
    </message>
    <message>
        <source>地址中不能有空格或换行!</source>
        <translation>The address cannot contain spaces or line breaks.</translation>
    </message>
    <message>
        <source>姓名中有不完整的字符!</source>
        <translation>The name contains an incomplete character.</translation>
    </message>
    <message>
        <source>地址中有不完整的字符!</source>
        <translation>The address contains an incomplete character.</translation>
    </message>
    <message>
        <source>姓名无法保存!</source>
        <translation>The name cannot be saved.</translation>
    </message>
    <message>
        <source>地址无法保存!</source>
        <translation>The address cannot be saved.</translation>
    </message>
    <message>
        <source>家谱文件格式有误!</source>
        <translation>The genealogy file is not in the right format.</translation>
    </message>
    <message>
        <source>这不是一个文本文件!</source>
        <translation>This is not a text file.</translation>
    </message>
    <message>
        <source>第%1行有无法识别的字符!</source>
        <translation>Line %1 has a character that cannot be read.</translation>
    </message>
    <message>
        <source>文件中有无法识别的字符!</source>
        <translation>The file has a character that cannot be read.</translation>
    </message>
    <message>
        <source>文件是空的!</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>第%1行：此处应为整数!</source>
        <translation>Line %1: a whole number is expected here.</translation>
    </message>
    <message>
        <source>第%1行：数字太大!</source>
        <translation>Line %1: the number is too large.</translation>
    </message>
    <message>
        <source>第%1行：姓名或地址超过127个字符!</source>
        <translation>Line %1: a name or address is longer than 127 characters.</translation>
    </message>
    <message>
        <source>家谱文件不完整!</source>
        <translation>The genealogy file is incomplete.</translation>
    </message>
    <message>
        <source>第%1行之后缺少数据!</source>
        <translation>Data is missing after line %1.</translation>
    </message>
    <message>
        <source>第%1行：%2的死亡日期不合实际!</source>
        <translation>Line %1: the date of death of %2 is not a real date.</translation>
    </message>
    <message>
        <source>第%1行：%2生于父亲之前!</source>
        <translation>Line %1: %2 was born before his father.</translation>
    </message>
    <message>
        <source>%1不是一个普通文件!</source>
        <translation>%1 is not an ordinary file.</translation>
    </message>
    <message>
        <source>该文件属于其他用户，请另存为自己的文件!</source>
        <translation>The file belongs to another user; please save the genealogy as a file of your own.</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1：只有根结点可以叫“end”!</source>
        <translation>%1: only the root ancestor may be called &quot;end&quot;.</translation>
    </message>
    <message>
        <source>%1：不能与父亲同名!</source>
        <translation>%1: a member cannot have the same name as his father.</translation>
    </message>
    <message>
        <source>%1：根结点不能叫“-1”!</source>
        <translation>%1: the root ancestor cannot be called &quot;-1&quot;.</translation>
    </message>
    <message>
        <source>查找成员</source>
        <translation>Find member</translation>
    </message>
    <message>
        <source>查找下一个</source>
        <translation>Find next</translation>
    </message>
    <message>
        <source>查找上一个</source>
        <translation>Find previous</translation>
    </message>
    <message>
        <source>字辈…</source>
        <translation>Generation poem…</translation>
    </message>
    <message>
        <source>字辈无法保存到%1，下次保存家谱时再试。</source>
        <translation>The generation poem could not be saved to %1; it will be tried again the next time the genealogy is saved.</translation>
    </message>
    <message>
        <source>字辈文件%1读不出来：%2</source>
        <translation>The generation poem file %1 could not be read: %2</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>文件内容不是所声明编码的文本</source>
        <translation>the file is not text in the encoding it declares</translation>
    </message>
    <message>
        <source>这不是GEDCOM文件（文件应以“0 HEAD”开头）</source>
        <translation>this is not a GEDCOM file (it should begin with &quot;0 HEAD&quot;)</translation>
    </message>
    <message>
        <source>文件中没有任何人（INDI记录）</source>
        <translation>the file has no people (INDI records)</translation>
    </message>
    <message>
        <source>文件中没有所选的始祖</source>
        <translation>the chosen root ancestor is not in the file</translation>
    </message>
    <message>
        <source>文件中每个人都有父母，找不到始祖</source>
        <translation>everyone in the file has parents, so there is no root ancestor</translation>
    </message>
    <message>
        <source>无法导入%1：%2（第 %3 行）。</source>
        <translation>Cannot import %1: %2 (line %3).</translation>
    </message>
    <message>
        <source>无法导入%1：%2。</source>
        <translation>Cannot import %1: %2.</translation>
    </message>
    <message>
        <source>导入GEDCOM…</source>
        <translation>Import GEDCOM…</translation>
    </message>
    <message>
        <source>导出GEDCOM…</source>
        <translation>Export GEDCOM…</translation>
    </message>
    <message>
        <source>家谱是空的，没有可导出的内容!</source>
        <translation>The genealogy is empty: there is nothing to export.</translation>
    </message>
    <message>
        <source>GEDCOM 7.0 (%1)</source>
        <translation>GEDCOM 7.0 (%1)</translation>
    </message>
    <message>
        <source>GEDCOM 5.5.1 (%1)</source>
        <translation>GEDCOM 5.5.1 (%1)</translation>
    </message>
    <message>
        <source>导出GEDCOM</source>
        <translation>Export GEDCOM</translation>
    </message>
    <message>
        <source>%1 已存在。
要替换它吗?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>正在导出GEDCOM文件…</source>
        <translation>Exporting the GEDCOM file…</translation>
    </message>
    <message>
        <source>GEDCOM文件%1无法保存：%2!</source>
        <translation>The GEDCOM file %1 could not be saved: %2.</translation>
    </message>
    <message>
        <source>GEDCOM文件 (%1);;All Files(*)</source>
        <translation>GEDCOM files (%1);;All files (*)</translation>
    </message>
    <message>
        <source>正在读取GEDCOM文件…</source>
        <translation>Reading the GEDCOM file…</translation>
    </message>
    <message>
        <source>正在导入GEDCOM文件…</source>
        <translation>Importing the GEDCOM file…</translation>
    </message>
    <message>
        <source>字辈文件应有两行：第一行是第一个字所在的世，第二行是字辈诗；此文件有 %1 行。</source>
        <translation>a generation poem file has two lines: the generation of its first character, then the poem; this file has %1 lines.</translation>
    </message>
    <message>
        <source>第一行应是 1 到 %1 之间的整数（字辈第一个字所在的世），而不是“%2”。</source>
        <translation>the first line should be a whole number from 1 to %1 (the generation of the poem&apos;s first character), not “%2”.</translation>
    </message>
    <message>
        <source>第二行不是有效的 UTF-8 文本。</source>
        <translation>the second line is not valid UTF-8 text.</translation>
    </message>
    <message>
        <source>第二行第 %1 个字符“%2”不是汉字，字辈诗只能由汉字组成（可用标点分隔）。</source>
        <translation>character %1 of the second line, “%2”, is not a Chinese character; a generation poem is made of Chinese characters only (punctuation may separate them).</translation>
    </message>
    <message>
        <source>第二行没有字辈用字。</source>
        <translation>the second line holds no characters of the poem.</translation>
    </message>
    <message>
        <source>无法读取字辈文件 %1。</source>
        <translation>the generation poem file %1 cannot be read.</translation>
    </message>
    <message>
        <source>2052</source>
        <comment>language id of the about box: 2052 Chinese, 1033 English</comment>
        <translation>1033</translation>
    </message>
    <message>
        <source>称谓…</source>
        <translation>Kinship Terms…</translation>
    </message>
    <message>
        <source>家谱已保存，但未能保留上一版本：文件名%1太长，加上“.bak”就超出了文件系统的限制。要保留上一版本，请用较短的文件名另存家谱。</source>
        <translation>The genealogy was saved, but its previous version could not be kept: the file name %1 is too long for the file system once “.bak” is added. To keep previous versions, save the genealogy under a shorter name.</translation>
    </message>
    <message>
        <source>家谱已保存，但未能保留上一版本：%1是一个文件夹。</source>
        <translation>The genealogy was saved, but its previous version could not be kept: %1 is a folder.</translation>
    </message>
    <message>
        <source>家谱已保存，但未能把上一版本保留为%1。</source>
        <translation>The genealogy was saved, but its previous version could not be kept as %1.</translation>
    </message>
    <message>
        <source>这是一个文件夹，不是文件。</source>
        <translation>It is a folder, not a file.</translation>
    </message>
    <message>
        <source>这不是普通文件，而是管道、设备之类，不能当作字辈文件读取。</source>
        <translation>It is not an ordinary file but a pipe, a device or the like, and is not read as a generation poem file.</translation>
    </message>
    <message>
        <source>文件大于 %1 KB，字辈文件不会这么大。</source>
        <translation>The file is larger than %1 KB; no generation poem file is that large.</translation>
    </message>
    <message>
        <source>字辈无法保存在家谱旁边：文件名%1太长，加上“.zibei”就超出了文件系统的限制。要保留字辈，请用较短的文件名另存家谱。</source>
        <translation>The generation poem cannot be kept beside the genealogy: the file name %1 is too long for the file system once “.zibei” is added. To keep the poem, save the genealogy under a shorter name.</translation>
    </message>
    <message>
        <source>文件%1无法保存：%2!</source>
        <translation>The file %1 could not be saved: %2.</translation>
    </message>
    <message>
        <source>五服图…</source>
        <translation>Mourning Grades…</translation>
    </message>
    <message>
        <source>今天为以下家族成员的生日:%1</source>
        <translation>Today is the birthday of these family members:%1</translation>
    </message>
    <message>
        <source>今天为以下家族成员的农历生日:%1</source>
        <translation>Today is the Chinese-calendar birthday of these family members:%1</translation>
    </message>
    <message>
        <source>今天为以下先人的忌日（农历）:%1</source>
        <translation>Today is the anniversary of death (Chinese calendar) of these ancestors:%1</translation>
    </message>
    <message>
        <source>详细信息请见以下列表.</source>
        <translation>Their details are in the list below.</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Dates</translation>
    </message>
    <message>
        <source>公历</source>
        <translation>Gregorian calendar</translation>
    </message>
    <message>
        <source>农历</source>
        <translation>Chinese calendar</translation>
    </message>
    <message>
        <source>两者</source>
        <translation>Both</translation>
    </message>
    <message>
        <source>打开时提示农历生日</source>
        <translation>Name Chinese-calendar birthdays at Open</translation>
    </message>
    <message>
        <source>打开时提示先人忌日</source>
        <translation>Name anniversaries of death at Open</translation>
    </message>
    <message>
        <source>正在导出支谱…</source>
        <translation>Exporting the branch…</translation>
    </message>
    <message>
        <source>正在读取支谱…</source>
        <translation>Reading the branch…</translation>
    </message>
    <message>
        <source>正在导出图表…</source>
        <translation>Exporting the chart…</translation>
    </message>
    <message>
        <source>成员资料…</source>
        <translation>Member record…</translation>
    </message>
    <message>
        <source>谱书资料…</source>
        <translation>Book data…</translation>
    </message>
    <message>
        <source>更改谱书资料</source>
        <translation>Change the book data</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>另一个程序正在使用家谱%1。
要以只读方式打开它吗？只读的家谱不能保存到原文件，只能另存为其他文件。</source>
        <translation>Another program is using the genealogy %1.
Open it read-only? A read-only genealogy cannot be saved to its own file, only saved as another file.</translation>
    </message>
    <message>
        <source>另存为 .cbk</source>
        <translation>Save as .cbk</translation>
    </message>
    <message>
        <source>仍然保存为 .ftf</source>
        <translation>Save as .ftf anyway</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>文件%1只能保存姓名、日期、地址等十项内容，家谱中的以下内容将不会保存：
%2

建议另存为家谱文件（.cbk），它能保存全部内容。</source>
        <translation>The file %1 keeps only the ten fields (name, dates, address...); this genealogy also holds the following, which will not be kept:
%2

Saving it as a book file (.cbk), which keeps everything, is recommended.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>家谱%1是以只读方式打开的，不能保存到原文件。
要另存为其他文件吗？</source>
        <translation>The genealogy %1 was opened read-only and cannot be saved to its own file.
Save it as another file?</translation>
    </message>
    <message>
        <source>另一个程序正在使用%1!</source>
        <translation>%1 is in use by another program!</translation>
    </message>
    <message>
        <source>导出谱书…</source>
        <translation>Export clan book…</translation>
    </message>
    <message>
        <source>GEDZIP：GEDCOM 7.0 与照片 (%1)</source>
        <translation>GEDZIP: GEDCOM 7.0 with pictures (%1)</translation>
    </message>
    <message>
        <source>%1 已保存，但其中缺少 %2 张无法读取的照片。</source>
        <translation>%1 was saved, but without %2 pictures that could not be read.</translation>
    </message>
</context>
<context>
    <name>CFileOpenAndSaveDlg</name>
    <message>
        <source>请输入要打开的文件名:</source>
        <translation>Name of the file to open:</translation>
    </message>
    <message>
        <source>请输入要保存的文件名:</source>
        <translation>Name of the file to save:</translation>
    </message>
    <message>
        <source>家谱文件--Family Tree Files(%1);;谱书文件（含全部资料）(%2);;All Files(*)</source>
        <translation>Genealogy files (%1);;Clan book files, whole record (%2);;All files (*)</translation>
    </message>
</context>
<context>
    <name>CGedcomRootDlg</name>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>导入人数</source>
        <translation>Members imported</translation>
    </message>
    <message>
        <source>导入GEDCOM：选择始祖</source>
        <translation>Import GEDCOM: Choose the Root Ancestor</translation>
    </message>
    <message>
        <source>文件中有 %1 人没有父母，家谱将从所选的人开始导入他的一支。</source>
        <translation>People without parents in the file: %1. The genealogy will import the line of the one you choose.</translation>
    </message>
    <message>
        <source>始祖候选人:</source>
        <translation>Possible root ancestors:</translation>
    </message>
    <message>
        <source>始祖姓名:</source>
        <translation>Root ancestor:</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请选择或输入始祖的姓名!</source>
        <translation>Please choose or enter the root ancestor&apos;s name.</translation>
    </message>
    <message>
        <source>候选人中没有%1，请从列表中选择!</source>
        <translation>%1 is not among the possible root ancestors; please choose one from the list.</translation>
    </message>
</context>
<context>
    <name>CGenerationPoemDlg</name>
    <message>
        <source>%1&#x3000;第 %2 世&#x3000;应有“%3”字</source>
        <translation>%1, generation %2: should have “%3”</translation>
    </message>
    <message>
        <source>字辈里没有汉字。</source>
        <translation>The generation poem has no Chinese characters.</translation>
    </message>
    <message>
        <source>字辈里的“%1”不是汉字。字辈只能由汉字组成，字与字之间可以用标点或空格隔开。</source>
        <translation>“%1” in the generation poem is not a Chinese character. A generation poem is made of Chinese characters only; punctuation or spaces may separate them.</translation>
    </message>
    <message>
        <source>请输入姓氏。</source>
        <translation>Please enter the surname.</translation>
    </message>
    <message>
        <source>请先输入字辈。</source>
        <translation>Please enter the generation poem first.</translation>
    </message>
    <message>
        <source>每个成员的名字里都有本世的字辈用字。</source>
        <translation>Every member&apos;s name has the character of his generation.</translation>
    </message>
    <message>
        <source>共 %1 人的名字里没有本世的字辈用字。</source>
        <translation>Members whose names lack the character of their generation: %1.</translation>
    </message>
</context>
<context>
    <name>CHyperLink</name>
    <message>
        <source>Unable to open hyperlink:

</source>
        <translation>Unable to open hyperlink:

</translation>
    </message>
</context>
<context>
    <name>CImportReportDlg</name>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>…（共 %1 个字符）</source>
        <translation>… (%1 characters)</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>项目</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>文件中的值</source>
        <translation>In the file</translation>
    </message>
    <message>
        <source>导入后的值</source>
        <translation>Imported as</translation>
    </message>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>出生日期</source>
        <translation>Date of birth</translation>
    </message>
    <message>
        <source>去世日期</source>
        <translation>Date of death</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>导入GEDCOM：报告</source>
        <translation>Import GEDCOM: Report</translation>
    </message>
    <message>
        <source>（未注明版本）</source>
        <translation>(version not stated)</translation>
    </message>
    <message>
        <source>GEDCOM %1，%2 编码：文件中共 %3 人，从始祖 %4 导入 %5 人。</source>
        <translation>GEDCOM %1, %2 encoding: %3 people in the file; %5 imported from the root ancestor %4.</translation>
    </message>
    <message>
        <source>所有数据都符合家谱的要求，无需修改。</source>
        <translation>All the data suits the genealogy; nothing had to be changed.</translation>
    </message>
    <message>
        <source>为符合家谱的要求，修改了 %1 处数据:</source>
        <translation>Changes made so that the data suits the genealogy: %1</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Changes</translation>
    </message>
    <message>
        <source>读取时跳过的内容:</source>
        <translation>Skipped while reading:</translation>
    </message>
    <message>
        <source>保存报告…</source>
        <translation>Save report…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>文本文件 (*.txt);;All Files(*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>第 %1 行：不是GEDCOM行，已跳过</source>
        <translation>line %1: no GEDCOM line, skipped</translation>
    </message>
    <message>
        <source>第 %1 行：XREF缺少结尾的 @，已跳过</source>
        <translation>line %1: an XREF without its closing @, skipped</translation>
    </message>
    <message>
        <source>第 %1 行：缺少标签，已跳过</source>
        <translation>line %1: a line without a tag, skipped</translation>
    </message>
    <message>
        <source>第 %1 行：文件没有结尾记录（0 TRLR）</source>
        <translation>line %1: the file ends without its trailer (0 TRLR)</translation>
    </message>
    <message>
        <source>第 %1 行：第二个 INDI %2，其链接都归第一个</source>
        <translation>line %1: a second INDI %2: its links go to the first</translation>
    </message>
    <message>
        <source>另有 %1 条未列出</source>
        <translation>%1 more notes left out</translation>
    </message>
    <message>
        <source>报告无法保存到%1：%2!</source>
        <translation>The report could not be saved to %1: %2.</translation>
    </message>
    <message>
        <source>%1 是导入的GEDCOM文件，报告不能保存到它里面!</source>
        <translation>%1 is the GEDCOM file imported: the report cannot be saved into it.</translation>
    </message>
    <message>
        <source>%1 第 %2 行：%3</source>
        <translation>%1 line %2: %3</translation>
    </message>
    <message>
        <source>%1 “%2”</source>
        <translation>%1 “%2”</translation>
    </message>
    <message>
        <source>家谱中无处存放的内容（未导入）:</source>
        <translation>Facts the book has no place for (not imported):</translation>
    </message>
</context>
<context>
    <name>CKinshipDlg</name>
    <message>
        <source>称谓</source>
        <translation>Kinship Terms</translation>
    </message>
    <message>
        <source>第一人:</source>
        <translation>First person:</translation>
    </message>
    <message>
        <source>第二人:</source>
        <translation>Second person:</translation>
    </message>
    <message>
        <source>称谓:</source>
        <translation>Terms:</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>请输入两人的姓名。</source>
        <translation>Enter the names of both people.</translation>
    </message>
    <message>
        <source>本家谱中找不到%1!</source>
        <translation>%1 is not in this genealogy.</translation>
    </message>
    <message>
        <source>指第一人之妻</source>
        <translation>The first person&apos;s wife</translation>
    </message>
    <message>
        <source>指第二人之妻</source>
        <translation>The second person&apos;s wife</translation>
    </message>
    <message>
        <source>%1之妻</source>
        <translation>%1&apos;s wife</translation>
    </message>
</context>
<context>
    <name>CMergeReviewDlg</name>
    <message>
        <source>修谱：核对支谱</source>
        <translation>Merge a Branch Book: Review</translation>
    </message>
    <message>
        <source>新增</source>
        <translation>New</translation>
    </message>
    <message>
        <source>不同</source>
        <translation>Different</translation>
    </message>
    <message>
        <source>仅在家谱</source>
        <translation>Only in the genealogy</translation>
    </message>
    <message>
        <source>冲突</source>
        <translation>Conflicts</translation>
    </message>
    <message>
        <source>全部取支谱</source>
        <translation>Take all from the branch book</translation>
    </message>
    <message>
        <source>全部取家谱</source>
        <translation>Keep all from the genealogy</translation>
    </message>
    <message>
        <source>改名…</source>
        <translation>Rename…</translation>
    </message>
    <message>
        <source>合并</source>
        <translation>Merge</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>家谱中没有支谱的始祖%1，无法合并。</source>
        <translation>The branch book&apos;s root ancestor %1 is not in the genealogy, so it cannot be merged.</translation>
    </message>
    <message>
        <source>支谱中没有成员，无法合并。</source>
        <translation>The branch book has no members, so there is nothing to merge.</translation>
    </message>
    <message>
        <source>支谱与家谱没有差别，无需合并。</source>
        <translation>The branch book and the genealogy are the same; there is nothing to merge.</translation>
    </message>
    <message>
        <source>支谱（始祖%1）并回家谱：新增 %2 人，%3 人的数据不同，%4 处冲突。冲突的成员不并入；新增成员同名时可改名后并入。</source>
        <translation>Merging the branch book (root ancestor %1) back into the genealogy. New members: %2; members with different details: %3; conflicts: %4. Members in conflict are not merged; a new member whose name is already taken can be renamed and then merged.</translation>
    </message>
    <message>
        <source>新增（%1）</source>
        <translation>New (%1)</translation>
    </message>
    <message>
        <source>不同（%1）</source>
        <translation>Different (%1)</translation>
    </message>
    <message>
        <source>仅在家谱（%1）</source>
        <translation>Only in the genealogy (%1)</translation>
    </message>
    <message>
        <source>冲突（%1）</source>
        <translation>Conflicts (%1)</translation>
    </message>
</context>
<context>
    <name>ChartText</name>
    <message>
        <source>前%1</source>
        <translation>%1 BC</translation>
    </message>
    <message>
        <source>%1–%2</source>
        <translation>%1–%2</translation>
    </message>
    <message>
        <source>第%1世</source>
        <translation>Gen. %1</translation>
    </message>
    <message>
        <source>见第%1页</source>
        <translation>See p. %1</translation>
    </message>
    <message>
        <source>第%1页 / 共%2页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>%1 世系图</source>
        <translation>Descendant chart of %1</translation>
    </message>
</context>
<context>
    <name>ChartWindow</name>
    <message>
        <source>世系图</source>
        <translation>Descendant Chart</translation>
    </message>
    <message>
        <source>图表选项</source>
        <translation>Chart options</translation>
    </message>
    <message>
        <source>起始成员：</source>
        <translation>Start from:</translation>
    </message>
    <message>
        <source>始祖</source>
        <translation>Root ancestor</translation>
    </message>
    <message>
        <source>世数：</source>
        <translation>Generations:</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>样式：</source>
        <translation>Style:</translation>
    </message>
    <message>
        <source>吊线图（宝塔式）</source>
        <translation>Pagoda chart</translation>
    </message>
    <message>
        <source>欧式（五世一页）</source>
        <translation>Ouyang style (5 generations a page)</translation>
    </message>
    <message>
        <source>纸张：</source>
        <translation>Paper:</translation>
    </message>
    <message>
        <source>PNG 分辨率：</source>
        <translation>PNG resolution:</translation>
    </message>
    <message>
        <source> dpi</source>
        <translation> dpi</translation>
    </message>
    <message>
        <source>图表(&amp;C)</source>
        <translation>&amp;Chart</translation>
    </message>
    <message>
        <source>导出图表…</source>
        <translation>Export chart…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>打印预览…</source>
        <translation>Print preview…</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>实际大小</source>
        <translation>Actual size</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf);;SVG 图形 (*.svg);;PNG 图片 (*.png)</source>
        <translation>PDF files (*.pdf);;SVG images (*.svg);;PNG images (*.png)</translation>
    </message>
    <message>
        <source>无法打印世系图。</source>
        <translation>The descendant chart could not be printed.</translation>
    </message>
</context>
<context>
    <name>ChineseDateEntry</name>
    <message>
        <source>如 光绪十六年二月十五</source>
        <translation>e.g. 光绪十六年二月十五</translation>
    </message>
    <message>
        <source>“%1”是哪一天？</source>
        <translation>Which day is “%1”?</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Morvane家谱制作软件：编写和查阅家谱。</source>
        <translation>Clanbook: keep and consult a family genealogy.</translation>
    </message>
    <message>
        <source>界面语言：zh（简体中文）或 en（英文）；默认随桌面的语言。</source>
        <translation>Language of the program: zh (Simplified Chinese) or en (English); by default the desktop&apos;s.</translation>
    </message>
    <message>
        <source>%1（参数：%2）</source>
        <translation>%1 (takes %2)</translation>
    </message>
    <message>
        <source>启动时打开的家谱文件（.ftf 或 .cbk）。</source>
        <translation>A genealogy file (.ftf or .cbk) to open at start.</translation>
    </message>
    <message>
        <source>未知的界面语言“%1”：只能是 zh 或 en。</source>
        <translation>Unknown language &quot;%1&quot;: use zh or en.</translation>
    </message>
    <message>
        <source>一次只能做一种转换：--%1 或 --%2。</source>
        <translation>One conversion at a time: --%1 or --%2.</translation>
    </message>
    <message>
        <source>--%1 需要参数：%2。</source>
        <translation>--%1 takes %2.</translation>
    </message>
    <message>
        <source>只能打开一个家谱文件，却给了 %1 个。</source>
        <translation>Only one genealogy file can be opened, but %1 were given.</translation>
    </message>
    <message>
        <source>选项 --%1 只用于 --%2，不能与 --%3 同用。</source>
        <translation>The option --%1 goes with --%2 only, not with --%3.</translation>
    </message>
    <message>
        <source>选项 --%1 只用于 --%2；打开窗口时不能用。</source>
        <translation>The option --%1 goes with --%2 only; it cannot be given to open the window.</translation>
    </message>
</context>
<context>
    <name>Conversions</name>
    <message>
        <source>家谱日期数据不合实际或无法读取</source>
        <translation>the genealogy holds a date that is not real or cannot be read</translation>
    </message>
    <message>
        <source>家谱成员关系有误</source>
        <translation>the relationships between the members are wrong</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>家谱没有根结点</source>
        <translation>the genealogy has no root ancestor</translation>
    </message>
    <message>
        <source>文件无法打开</source>
        <translation>the file could not be opened</translation>
    </message>
    <message>
        <source>无法读取 %1：%2。</source>
        <translation>Cannot read %1: %2.</translation>
    </message>
    <message>
        <source>--%1 须为 %2 到 %3 之间的整数，而不是“%4”。</source>
        <translation>--%1 must be a whole number from %2 to %3, not &quot;%4&quot;.</translation>
    </message>
    <message>
        <source>未知的布局“%1”：只能是 pagoda（吊线图）或 ouyang（欧式）。</source>
        <translation>Unknown layout &quot;%1&quot;: use pagoda (pagoda chart) or ouyang (Ouyang style).</translation>
    </message>
    <message>
        <source>未知的纸张“%1”：只能是 A4 或 A3。</source>
        <translation>Unknown paper &quot;%1&quot;: use A4 or A3.</translation>
    </message>
    <message>
        <source>%1：图的格式由后缀定，只能是 .pdf、.svg 或 .png。</source>
        <translation>%1: the chart&apos;s format comes from the file name, which must end in .pdf, .svg or .png.</translation>
    </message>
    <message>
        <source>%1 中没有名叫“%2”的成员。</source>
        <translation>No member of %1 is named &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>--prefer 只能是 book（家谱）或 branch（分支），而不是“%1”。</source>
        <translation>--prefer takes book (the genealogy) or branch (the branch book), not &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>不支持 GEDCOM 版本“%1”：只能是 7.0 或 5.5.1。</source>
        <translation>GEDCOM version &quot;%1&quot; is not supported: use 7.0 or 5.5.1.</translation>
    </message>
    <message>
        <source>把家谱 IN（.ftf）画成世系图，写入 OUT：格式由后缀定（.pdf、.svg、.png）</source>
        <translation>Draw the descendant chart of the genealogy IN (.ftf) into OUT, in the format its name ends in (.pdf, .svg, .png)</translation>
    </message>
    <message>
        <source>画几世（含起始成员）；0 为全部；默认 %1。</source>
        <translation>How many generations to draw, the first member&apos;s included; 0 for all; by default %1.</translation>
    </message>
    <message>
        <source>PDF 的纸张：A4（默认）或 A3。</source>
        <translation>The paper of a PDF: A4 (the default) or A3.</translation>
    </message>
    <message>
        <source>PNG 每英寸的像素数，1 到 2400；默认 %1。</source>
        <translation>Pixels per inch of a PNG, 1 to 2400; by default %1.</translation>
    </message>
    <message>
        <source>把家谱 IN 中名叫 NAME 的成员及其全部后代存为新家谱 OUT，NAME 为始祖</source>
        <translation>Save the member named NAME in the genealogy IN, with all his descendants, as a new branch book OUT whose root ancestor is NAME</translation>
    </message>
    <message>
        <source>把分支 BRANCH 并回家谱 BOOK，结果存为 OUT（可与 BOOK 相同）；无法并入的成员逐行列出</source>
        <translation>Merge the branch book BRANCH back into the genealogy BOOK and save the result as OUT (which may be BOOK); members that cannot be merged are listed one a line</translation>
    </message>
    <message>
        <source>两边都有而资料不同的成员取哪一边的资料：book（家谱，默认）或 branch（分支）。</source>
        <translation>Whose details to keep for a member in both with different details: book (the genealogy, the default) or branch (the branch book).</translation>
    </message>
    <message>
        <source>把家谱 IN（.ftf）存为 GEDCOM 文件 OUT，每位成员一条 INDI</source>
        <translation>Save the genealogy IN (.ftf) as the GEDCOM file OUT, one INDI record per member</translation>
    </message>
    <message>
        <source>写出的 GEDCOM 版本：7.0（默认）或 5.5.1。</source>
        <translation>The GEDCOM version to write: 7.0 (the default) or 5.5.1.</translation>
    </message>
    <message>
        <source>把 GEDCOM 文件 IN 中一位始祖及其男系后代存为家谱 OUT（.ftf），改动逐条报告</source>
        <translation>Save one root ancestor of the GEDCOM file IN and his descendants in the male line as the genealogy OUT (.ftf), reporting every change made</translation>
    </message>
    <message>
        <source>从记录 XREF（如 @I1@）的人物起；默认取后代最多的无父母者。</source>
        <translation>Start at the person of record XREF (such as @I1@); by default the one without parents who has the most descendants.</translation>
    </message>
    <message>
        <source>把日期 DATE 写成公历和农历：公历（1890-3-5）、年号纪年（光绪十六年二月十五）或干支纪年（庚寅年二月十五）均可</source>
        <translation>Write the date DATE in the Gregorian and the Chinese calendar; DATE may be Gregorian (1890-3-5), a reign year (光绪十六年二月十五) or a sexagenary year (庚寅年二月十五)</translation>
    </message>
    <message>
        <source>干支纪年只在公历 FROM 至 TO 年间找；默认不限。</source>
        <translation>Look for a sexagenary year only within the Gregorian years FROM to TO; by default anywhere.</translation>
    </message>
    <message>
        <source>--years 须为 FROM-TO 两个公历年份（如 1850-1920），而不是“%1”。</source>
        <translation>--years must be two Gregorian years FROM-TO (such as 1850-1920), not “%1”.</translation>
    </message>
    <message>
        <source>“%1”可以是以下任一日期；请用 --years FROM-TO 限定年份：</source>
        <translation>“%1” may be any of these days; narrow the years with --years FROM-TO:</translation>
    </message>
    <message>
        <source>无法写入 %1：%2。</source>
        <translation>Cannot write %1: %2.</translation>
    </message>
    <message>
        <source>列出家谱 BOOK 中成员 A 与 B 互相的称谓：“A 称 B 为 …”两行</source>
        <translation>print what members A and B of genealogy BOOK call each other, one line each way</translation>
    </message>
    <message>
        <source>--%1 只能是 %2，而不是“%3”。</source>
        <translation>--%1 takes %2, not &quot;%3&quot;.</translation>
    </message>
    <message>
        <source>%1：谱书只能写成 .pdf 文件。</source>
        <translation>%1: the clan book is written as a PDF only; the name must end in .pdf.</translation>
    </message>
    <message>
        <source>世系图（谱书）从名叫 NAME 的成员起；默认从始祖起。</source>
        <translation>Start the chart (the clan book) at the member named NAME; by default at the root ancestor.</translation>
    </message>
    <message>
        <source>世系图的样式：pagoda（吊线图）、ouyang（欧式）或 su（苏式，只用于谱书）；世系图默认 pagoda，谱书默认 ouyang。</source>
        <translation>The style of the descendant chart: pagoda (pagoda chart), ouyang (Ouyang style) or su (Su style, clan book only); a chart is pagoda by default, a clan book ouyang.</translation>
    </message>
    <message>
        <source>把家谱 IN 排成谱书，写入 PDF 文件 OUT.pdf：封面、谱序、目录、世系图、世系录和人名索引，默认竖排</source>
        <translation>Typeset the genealogy IN as a clan book into the PDF file OUT.pdf: cover, preface, contents, descendant charts, life records and name index, in vertical columns by default</translation>
    </message>
    <message>
        <source>谱书横排；默认竖排。</source>
        <translation>Set the clan book in horizontal lines; by default in vertical columns.</translation>
    </message>
    <message>
        <source>谱书的纸张：A4（默认）、A3 或 A3-folded（A3 对折的筒子页）。</source>
        <translation>The clan book&apos;s paper: A4 (the default), A3 or A3-folded (two pages on an A3 sheet folded in the middle).</translation>
    </message>
    <message>
        <source>谱书的日期：lunar（农历，默认）、gregorian（公历）或 both（两者）。</source>
        <translation>The clan book&apos;s dates: lunar (Chinese calendar, the default), gregorian (Gregorian calendar) or both.</translation>
    </message>
    <message>
        <source>隐去在世者的生卒与地点。</source>
        <translation>Leave out the dates and places of the living.</translation>
    </message>
    <message>
        <source>%1：格式由后缀定，只能是 .ftf、.cbk、.ged 或 .gdz。</source>
        <translation>%1: the format is given by the file name&apos;s ending, which must be .ftf, .cbk, .ged or .gdz.</translation>
    </message>
    <message>
        <source>把家谱 IN 转存为 OUT，格式由后缀定（.ftf、.cbk、.ged、.gdz），照片随 .cbk 和 .gdz 转存</source>
        <translation>Convert the genealogy IN to OUT, each format given by its ending (.ftf, .cbk, .ged, .gdz); pictures go along into .cbk and .gdz files</translation>
    </message>
    <message>
        <source>%1 中的“%2”是女儿，没有妻子，不能用 --%3。</source>
        <translation>In %1, “%2” is a daughter and has no wife: --%3 does not apply.</translation>
    </message>
    <message>
        <source>A 指成员 A 之妻（女儿没有妻子）。</source>
        <translation>A stands for member A&apos;s wife (a daughter has none).</translation>
    </message>
    <message>
        <source>B 指成员 B 之妻（女儿没有妻子）。</source>
        <translation>B stands for member B&apos;s wife (a daughter has none).</translation>
    </message>
    <message>
        <source>%1 已写入，但字辈无法保存到它旁边的 %2。</source>
        <translation>%1 is written, but its generation poem could not be saved beside it in %2.</translation>
    </message>
</context>
<context>
    <name>DataExchange</name>
    <message>
        <source>请输入一个整数。</source>
        <translation>Please enter a whole number.</translation>
    </message>
    <message>
        <source>请输入不多于 %1 个的字符。</source>
        <translation>Please enter no more than %1 characters.</translation>
    </message>
</context>
<context>
    <name>DateWords</name>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>享年%1岁（虚岁），足%2岁</source>
        <translation>Died aged %2 (%1 by the Chinese count)</translation>
    </message>
    <message>
        <source>“%1”：公历没有这一天。</source>
        <translation>“%1”: the Gregorian calendar has no such day.</translation>
    </message>
    <message>
        <source>“%1”超出了农历换算的范围（%2 至 %3）。</source>
        <translation>“%1” lies outside the range of the Chinese calendar (%2 to %3).</translation>
    </message>
    <message>
        <source>“%1”：这个年号没有这一年。</source>
        <translation>“%1”: that reign had no such year.</translation>
    </message>
    <message>
        <source>“%1”：那一年没有这个闰月。</source>
        <translation>“%1”: that year has no such leap month.</translation>
    </message>
    <message>
        <source>“%1”：那个月只有二十九天。</source>
        <translation>“%1”: that month has only 29 days.</translation>
    </message>
    <message>
        <source>“%1”可以是不止一天。</source>
        <translation>“%1” may be more than one day.</translation>
    </message>
    <message>
        <source>读不懂日期“%1”：请写成 1890-3-5、光绪十六年二月十五或庚寅年二月十五。</source>
        <translation>Cannot read the date “%1”: write it as 1890-3-5, 光绪十六年二月十五 or 庚寅年二月十五.</translation>
    </message>
    <message>
        <source>洪武</source>
        <translation>Hongwu</translation>
    </message>
    <message>
        <source>汉字</source>
        <comment>How this language writes a Chinese date: 汉字 for Chinese words; anything else for the reign in pinyin and digits, after the Gregorian date</comment>
        <translation>pinyin</translation>
    </message>
    <message>
        <source>建文</source>
        <translation>Jianwen</translation>
    </message>
    <message>
        <source>永乐</source>
        <translation>Yongle</translation>
    </message>
    <message>
        <source>洪熙</source>
        <translation>Hongxi</translation>
    </message>
    <message>
        <source>宣德</source>
        <translation>Xuande</translation>
    </message>
    <message>
        <source>正统</source>
        <translation>Zhengtong</translation>
    </message>
    <message>
        <source>景泰</source>
        <translation>Jingtai</translation>
    </message>
    <message>
        <source>天顺</source>
        <translation>Tianshun</translation>
    </message>
    <message>
        <source>成化</source>
        <translation>Chenghua</translation>
    </message>
    <message>
        <source>弘治</source>
        <translation>Hongzhi</translation>
    </message>
    <message>
        <source>正德</source>
        <translation>Zhengde</translation>
    </message>
    <message>
        <source>嘉靖</source>
        <translation>Jiajing</translation>
    </message>
    <message>
        <source>隆庆</source>
        <translation>Longqing</translation>
    </message>
    <message>
        <source>万历</source>
        <translation>Wanli</translation>
    </message>
    <message>
        <source>泰昌</source>
        <translation>Taichang</translation>
    </message>
    <message>
        <source>天启</source>
        <translation>Tianqi</translation>
    </message>
    <message>
        <source>崇祯</source>
        <translation>Chongzhen</translation>
    </message>
    <message>
        <source>顺治</source>
        <translation>Shunzhi</translation>
    </message>
    <message>
        <source>康熙</source>
        <translation>Kangxi</translation>
    </message>
    <message>
        <source>雍正</source>
        <translation>Yongzheng</translation>
    </message>
    <message>
        <source>乾隆</source>
        <translation>Qianlong</translation>
    </message>
    <message>
        <source>嘉庆</source>
        <translation>Jiaqing</translation>
    </message>
    <message>
        <source>道光</source>
        <translation>Daoguang</translation>
    </message>
    <message>
        <source>咸丰</source>
        <translation>Xianfeng</translation>
    </message>
    <message>
        <source>同治</source>
        <translation>Tongzhi</translation>
    </message>
    <message>
        <source>光绪</source>
        <translation>Guangxu</translation>
    </message>
    <message>
        <source>宣统</source>
        <translation>Xuantong</translation>
    </message>
    <message>
        <source>民国</source>
        <translation>Minguo</translation>
    </message>
    <message>
        <source>公元</source>
        <translation>CE</translation>
    </message>
    <message>
        <source>%1%2年%3月%4日</source>
        <translation>%1 %2, month %3, day %4</translation>
    </message>
    <message>
        <source>闰%1</source>
        <translation>leap %1</translation>
    </message>
    <message>
        <source>“%1”：按公历纪年，那一年没有这个农历日子（它落在相邻的一年）。</source>
        <translation>“%1”: counted in Gregorian years, that year has no such Chinese day (it falls in the year beside it).</translation>
    </message>
</context>
<context>
    <name>DelInfoDlg</name>
    <message>
        <source>删除信息表</source>
        <translation>Delete a Member</translation>
    </message>
    <message>
        <source>输入要删除的人的名字：</source>
        <translation>Name of the member to delete:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ExportBookDialog</name>
    <message>
        <source>导出谱书</source>
        <translation>Export Clan Book</translation>
    </message>
    <message>
        <source>空：从始祖起</source>
        <translation>Empty: the root ancestor</translation>
    </message>
    <message>
        <source>起始成员:</source>
        <translation>Start from:</translation>
    </message>
    <message>
        <source>欧式</source>
        <translation>Ouyang style</translation>
    </message>
    <message>
        <source>苏式</source>
        <translation>Su style</translation>
    </message>
    <message>
        <source>吊线图</source>
        <translation>Pagoda chart</translation>
    </message>
    <message>
        <source>世系图样式:</source>
        <translation>Chart style:</translation>
    </message>
    <message>
        <source>竖排</source>
        <translation>Vertical columns</translation>
    </message>
    <message>
        <source>横排</source>
        <translation>Horizontal lines</translation>
    </message>
    <message>
        <source>排版:</source>
        <translation>Typesetting:</translation>
    </message>
    <message>
        <source>A4</source>
        <translation>A4</translation>
    </message>
    <message>
        <source>A3</source>
        <translation>A3</translation>
    </message>
    <message>
        <source>A3 对折（筒子页）</source>
        <translation>A3 folded (two pages a sheet)</translation>
    </message>
    <message>
        <source>纸张:</source>
        <translation>Paper:</translation>
    </message>
    <message>
        <source>农历</source>
        <translation>Chinese calendar</translation>
    </message>
    <message>
        <source>公历</source>
        <translation>Gregorian calendar</translation>
    </message>
    <message>
        <source>两者</source>
        <translation>Both</translation>
    </message>
    <message>
        <source>日期:</source>
        <translation>Dates:</translation>
    </message>
    <message>
        <source>隐去在世者的生卒与地点</source>
        <translation>Leave out the dates and places of the living</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>上一页</source>
        <translation>Previous page</translation>
    </message>
    <message>
        <source>下一页</source>
        <translation>Next page</translation>
    </message>
    <message>
        <source>正在排版…</source>
        <translation>Typesetting…</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>第%1页/共%2页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>排版完毕，共%1页。</source>
        <translation>Typeset: %1 pages.</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>正在导出谱书…</source>
        <translation>Exporting the clan book…</translation>
    </message>
    <message>
        <source>谱书已导出到 %1。</source>
        <translation>The clan book was exported to %1.</translation>
    </message>
    <message>
        <source>无法打印谱书。</source>
        <translation>The clan book could not be printed.</translation>
    </message>
    <message>
        <source>预览只排了前%1页；全书请导出为 PDF 再打印。</source>
        <translation>The preview holds the first %1 pages only; export the whole book as a PDF to print it.</translation>
    </message>
</context>
<context>
    <name>ExportText</name>
    <message>
        <source>家谱是空的，没有可画的世系图。</source>
        <translation>The genealogy is empty: there is no descendant chart to draw.</translation>
    </message>
    <message>
        <source>家谱中没有“%1”。</source>
        <translation>“%1” is not in the genealogy.</translation>
    </message>
    <message>
        <source>无法写入文件“%1”。</source>
        <translation>Cannot write the file “%1”.</translation>
    </message>
    <message>
        <source>无法识别“%1”的格式：文件名应以 .pdf、.svg 或 .png 结尾。</source>
        <translation>Unknown format of “%1”: the file name should end in .pdf, .svg or .png.</translation>
    </message>
    <message>
        <source>图表有 %1×%2 像素，超过 PNG 的上限 %3 像素。请减少世数、降低分辨率，或导出 PDF。</source>
        <translation>The chart is %1×%2 pixels, more than the PNG limit of %3 pixels. Choose fewer generations or a lower resolution, or export a PDF.</translation>
    </message>
    <message>
        <source>图表有 %1×%2 像素，宽或高超过了 PNG 每边 %3 像素的上限。请减少世数、降低分辨率，或导出 PDF 或 SVG。</source>
        <translation>The chart is %1×%2 pixels: its width or height is more than the PNG limit of %3 pixels a side. Choose fewer generations or a lower resolution, or export a PDF or an SVG.</translation>
    </message>
    <message>
        <source>分辨率 %1 不在 1 到 2400 之间。</source>
        <translation>The resolution %1 is not between 1 and 2400.</translation>
    </message>
    <message>
        <source>无法写入文件“%1”：%2。</source>
        <translation>Cannot write the file “%1”: %2.</translation>
    </message>
</context>
<context>
    <name>FileOpenAndSaveDlg</name>
    <message>
        <source>输入文件名</source>
        <translation>File Name</translation>
    </message>
    <message>
        <source>请输入文件名:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>GenealogyDocument</name>
    <message>
        <source>增加孩子 %1</source>
        <translation>add child %1</translation>
    </message>
    <message>
        <source>设为根结点 %1</source>
        <translation>make %1 the root ancestor</translation>
    </message>
    <message>
        <source>更改资料 %1</source>
        <translation>change details of %1</translation>
    </message>
    <message>
        <source>更改姓名 %1 为 %2</source>
        <translation>rename %1 to %2</translation>
    </message>
    <message>
        <source>删除 %1</source>
        <translation>delete %1</translation>
    </message>
    <message>
        <source>合并支谱 %1</source>
        <translation>merge branch book %1</translation>
    </message>
    <message>
        <source>这不是家谱文件（.cbk）：文件是空的，或不是 SQLite 数据库</source>
        <translation>this is no book file (.cbk): the file is empty or no SQLite database</translation>
    </message>
    <message>
        <source>家谱文件已损坏或不完整</source>
        <translation>the book file is damaged or incomplete</translation>
    </message>
    <message>
        <source>这是其他程序的 SQLite 数据库，不是家谱文件</source>
        <translation>this is another program&apos;s SQLite database, not a book file</translation>
    </message>
    <message>
        <source>该家谱文件由更新版本的本程序保存，请升级后再打开</source>
        <translation>the book file was saved by a newer version of this program; please upgrade to open it</translation>
    </message>
    <message>
        <source>另一个程序正在使用该家谱，只能以只读方式打开</source>
        <translation>another program has this genealogy open; it can only be opened read-only</translation>
    </message>
    <message>
        <source>该家谱以只读方式打开，请另存为其他文件</source>
        <translation>this genealogy was opened read-only; please save it under another name</translation>
    </message>
    <message>
        <source>更改谱书的 %1</source>
        <translation>Change the book&apos;s %1</translation>
    </message>
    <message>
        <source>更改 %1 的 %2</source>
        <translation>Change %2 of %1</translation>
    </message>
    <message>
        <source>增加 %1 的配偶</source>
        <translation>Add a wife of %1</translation>
    </message>
    <message>
        <source>删除 %1 的配偶</source>
        <translation>Delete a wife of %1</translation>
    </message>
    <message>
        <source>增加 %1 的照片</source>
        <translation>Add a picture of %1</translation>
    </message>
    <message>
        <source>删除 %1 的照片</source>
        <translation>Delete a picture of %1</translation>
    </message>
    <message>
        <source>性别</source>
        <translation>sex</translation>
    </message>
    <message>
        <source>字</source>
        <translation>courtesy name</translation>
    </message>
    <message>
        <source>号</source>
        <translation>art name</translation>
    </message>
    <message>
        <source>排行</source>
        <translation>birth order</translation>
    </message>
    <message>
        <source>房支</source>
        <translation>branch of the house</translation>
    </message>
    <message>
        <source>功名/职务</source>
        <translation>rank or office</translation>
    </message>
    <message>
        <source>生时</source>
        <translation>hour of birth</translation>
    </message>
    <message>
        <source>行传</source>
        <translation>life record</translation>
    </message>
    <message>
        <source>葬地</source>
        <translation>burial place</translation>
    </message>
    <message>
        <source>葬向</source>
        <translation>grave orientation</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>note</translation>
    </message>
    <message>
        <source>丈夫</source>
        <translation>husband</translation>
    </message>
    <message>
        <source>丈夫籍贯</source>
        <translation>husband&apos;s home</translation>
    </message>
    <message>
        <source>生父</source>
        <translation>birth father</translation>
    </message>
    <message>
        <source>兼祧</source>
        <translation>second father (jiantiao)</translation>
    </message>
    <message>
        <source>生母</source>
        <translation>birth mother</translation>
    </message>
    <message>
        <source>配偶</source>
        <translation>wives</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>sources</translation>
    </message>
    <message>
        <source>照片</source>
        <translation>pictures</translation>
    </message>
    <message>
        <source>谱名</source>
        <translation>book title</translation>
    </message>
    <message>
        <source>堂号</source>
        <translation>hall name</translation>
    </message>
    <message>
        <source>郡望</source>
        <translation>clan seat</translation>
    </message>
    <message>
        <source>修谱年份</source>
        <translation>year of the edition</translation>
    </message>
    <message>
        <source>编修</source>
        <translation>editors</translation>
    </message>
    <message>
        <source>谱序</source>
        <translation>preface</translation>
    </message>
    <message>
        <source>凡例</source>
        <translation>editorial rules</translation>
    </message>
    <message>
        <source>家训</source>
        <translation>family precepts</translation>
    </message>
    <message>
        <source>字辈</source>
        <translation>generation poem</translation>
    </message>
    <message>
        <source>这不是 ZIP 压缩包，或压缩包不完整、已损坏</source>
        <translation>no ZIP archive, or one cut short or damaged</translation>
    </message>
    <message>
        <source>压缩包中有指向包外的文件名、过多的文件或过大的文件</source>
        <translation>the archive names a file outside itself, or holds too many files or one too large</translation>
    </message>
    <message>
        <source>压缩包已加密、分卷，或不是用 deflate 压缩的</source>
        <translation>the archive is encrypted, split over several files, or compressed other than by deflate</translation>
    </message>
    <message>
        <source>压缩包根目录下没有 gedcom.ged</source>
        <translation>the archive holds no gedcom.ged at its root</translation>
    </message>
</context>
<context>
    <name>GenealogyTreeView</name>
    <message>
        <source>一次最多展开 %1 人，其余的家庭仍然收起。</source>
        <translation>At most %1 members are expanded at a time; the other families stay collapsed.</translation>
    </message>
    <message>
        <source>第 %1 代及以后的成员不能在树中展开。</source>
        <translation>Members of generation %1 and later cannot be expanded in the tree.</translation>
    </message>
</context>
<context>
    <name>GenerationPoemDlg</name>
    <message>
        <source>字辈</source>
        <translation>Generation Poem</translation>
    </message>
    <message>
        <source>字辈：</source>
        <translation>Generation poem:</translation>
    </message>
    <message>
        <source>如：克昌厥后，永保其宗</source>
        <translation>e.g. 克昌厥后，永保其宗</translation>
    </message>
    <message>
        <source>一世一字，依次排下；字与字之间可以用标点或空格隔开</source>
        <translation>One character for each generation, in order; punctuation or spaces may separate them</translation>
    </message>
    <message>
        <source>起始世代：</source>
        <translation>First generation:</translation>
    </message>
    <message>
        <source>字辈第一个字所在的世，始祖为第1世</source>
        <translation>The generation of the poem&apos;s first character; the root ancestor is generation 1</translation>
    </message>
    <message>
        <source>第 </source>
        <translation>Generation </translation>
    </message>
    <message>
        <source> 世</source>
        <translation> </translation>
    </message>
    <message>
        <source>姓氏：</source>
        <translation>Surname:</translation>
    </message>
    <message>
        <source>名字里姓氏之后的部分才算名，在其中找字辈用字</source>
        <translation>The generation character is looked for in the given name: the part of a name after the surname</translation>
    </message>
    <message>
        <source>不合字辈的成员：</source>
        <translation>Members not following the poem:</translation>
    </message>
    <message>
        <source>检查</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>列出名字里没有本世字辈用字的成员</source>
        <translation>List the members whose names lack the character of their generation</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>GenerationTables</name>
    <message>
        <source>接第%1页</source>
        <translation>cont. p. %1</translation>
    </message>
    <message>
        <source>续</source>
        <translation>cont.</translation>
    </message>
    <message>
        <source>第%1世</source>
        <translation>Generation %1</translation>
    </message>
</context>
<context>
    <name>KinshipWording</name>
    <message>
        <source>汉语称谓</source>
        <comment>Translate as the name of the language: the kinship words are then built from the entries of this context, not taken from the Chinese terms</comment>
        <translation>English</translation>
    </message>
    <message>
        <source>第一</source>
        <translation>first</translation>
    </message>
    <message>
        <source>第二</source>
        <translation>second</translation>
    </message>
    <message>
        <source>第三</source>
        <translation>third</translation>
    </message>
    <message>
        <source>第%1</source>
        <comment>21st, 31st, ...</comment>
        <translation>%1st</translation>
    </message>
    <message>
        <source>第%1</source>
        <comment>22nd, 32nd, ...</comment>
        <translation>%1nd</translation>
    </message>
    <message>
        <source>第%1</source>
        <comment>23rd, 33rd, ...</comment>
        <translation>%1rd</translation>
    </message>
    <message>
        <source>第%1</source>
        <comment>4th, 5th, 11th, ...</comment>
        <translation>%1th</translation>
    </message>
    <message>
        <source>母亲</source>
        <translation>mother</translation>
    </message>
    <message>
        <source>父亲</source>
        <translation>father</translation>
    </message>
    <message>
        <source>祖母</source>
        <translation>grandmother</translation>
    </message>
    <message>
        <source>祖父</source>
        <translation>grandfather</translation>
    </message>
    <message>
        <source>曾祖母</source>
        <translation>great-grandmother</translation>
    </message>
    <message>
        <source>曾祖父</source>
        <translation>great-grandfather</translation>
    </message>
    <message>
        <source>%1× 曾祖母</source>
        <translation>%1× great-grandmother</translation>
    </message>
    <message>
        <source>%1× 曾祖父</source>
        <translation>%1× great-grandfather</translation>
    </message>
    <message>
        <source>儿媳</source>
        <translation>daughter-in-law</translation>
    </message>
    <message>
        <source>女儿</source>
        <translation>daughter</translation>
    </message>
    <message>
        <source>儿子</source>
        <translation>son</translation>
    </message>
    <message>
        <source>孙媳</source>
        <translation>grandson&apos;s wife</translation>
    </message>
    <message>
        <source>孙女</source>
        <translation>granddaughter</translation>
    </message>
    <message>
        <source>孙子</source>
        <translation>grandson</translation>
    </message>
    <message>
        <source>曾孙媳</source>
        <translation>great-grandson&apos;s wife</translation>
    </message>
    <message>
        <source>曾孙女</source>
        <translation>great-granddaughter</translation>
    </message>
    <message>
        <source>曾孙</source>
        <translation>great-grandson</translation>
    </message>
    <message>
        <source>%1× 曾孙媳</source>
        <translation>%1× great-grandson&apos;s wife</translation>
    </message>
    <message>
        <source>%1× 曾孙女</source>
        <translation>%1× great-granddaughter</translation>
    </message>
    <message>
        <source>%1× 曾孙</source>
        <translation>%1× great-grandson</translation>
    </message>
    <message>
        <source>嫂子</source>
        <translation>elder brother&apos;s wife</translation>
    </message>
    <message>
        <source>弟媳</source>
        <translation>younger brother&apos;s wife</translation>
    </message>
    <message>
        <source>姐姐</source>
        <translation>elder sister</translation>
    </message>
    <message>
        <source>妹妹</source>
        <translation>younger sister</translation>
    </message>
    <message>
        <source>哥哥</source>
        <translation>elder brother</translation>
    </message>
    <message>
        <source>弟弟</source>
        <translation>younger brother</translation>
    </message>
    <message>
        <source>%1的哥哥的妻子</source>
        <translation>wife of %1&apos;s elder brother</translation>
    </message>
    <message>
        <source>%1的弟弟的妻子</source>
        <translation>wife of %1&apos;s younger brother</translation>
    </message>
    <message>
        <source>%1的姐妹</source>
        <translation>%1&apos;s sister</translation>
    </message>
    <message>
        <source>%1的哥哥</source>
        <translation>%1&apos;s elder brother</translation>
    </message>
    <message>
        <source>%1的弟弟</source>
        <translation>%1&apos;s younger brother</translation>
    </message>
    <message>
        <source>兄弟的%1</source>
        <translation>brother&apos;s %1</translation>
    </message>
    <message>
        <source>堂兄弟姐妹</source>
        <translation>paternal cousin</translation>
    </message>
    <message>
        <source>%1堂亲</source>
        <translation>%1 cousin</translation>
    </message>
    <message>
        <source>%1，隔一代</source>
        <translation>%1 once removed</translation>
    </message>
    <message>
        <source>%1，隔两代</source>
        <translation>%1 twice removed</translation>
    </message>
    <message>
        <source>%1，隔%2代</source>
        <translation>%1 %2 times removed</translation>
    </message>
    <message>
        <source>%1的妻子</source>
        <translation>%1&apos;s wife</translation>
    </message>
    <message>
        <source>%1（年长）</source>
        <translation>%1 (elder)</translation>
    </message>
    <message>
        <source>%1（年幼）</source>
        <translation>%1 (younger)</translation>
    </message>
    <message>
        <source>%1（长辈，长房）</source>
        <translation>%1 (senior generation, elder side)</translation>
    </message>
    <message>
        <source>%1（长辈，幼房）</source>
        <translation>%1 (senior generation, younger side)</translation>
    </message>
    <message>
        <source>%1（晚辈）</source>
        <translation>%1 (junior generation)</translation>
    </message>
    <message>
        <source>本人</source>
        <translation>self</translation>
    </message>
    <message>
        <source>丈夫</source>
        <translation>husband</translation>
    </message>
    <message>
        <source>妻子</source>
        <translation>wife</translation>
    </message>
    <message>
        <source>%1与%2没有共同的祖先。</source>
        <translation>%1 and %2 have no ancestor in common.</translation>
    </message>
    <message>
        <source>%1 称 %2 为 %3</source>
        <translation>%2 is %1&apos;s %3</translation>
    </message>
    <message>
        <source>共同祖先：%1（%2上溯%3代，%4上溯%5代）</source>
        <translation>Common ancestor: %1 (%3 generations above %2, %5 above %4)</translation>
    </message>
</context>
<context>
    <name>LifeRecord</name>
    <message>
        <source>一月</source>
        <translation>January</translation>
    </message>
    <message>
        <source>二月</source>
        <translation>February</translation>
    </message>
    <message>
        <source>三月</source>
        <translation>March</translation>
    </message>
    <message>
        <source>四月</source>
        <translation>April</translation>
    </message>
    <message>
        <source>五月</source>
        <translation>May</translation>
    </message>
    <message>
        <source>六月</source>
        <translation>June</translation>
    </message>
    <message>
        <source>七月</source>
        <translation>July</translation>
    </message>
    <message>
        <source>八月</source>
        <translation>August</translation>
    </message>
    <message>
        <source>九月</source>
        <translation>September</translation>
    </message>
    <message>
        <source>十月</source>
        <translation>October</translation>
    </message>
    <message>
        <source>十一月</source>
        <translation>November</translation>
    </message>
    <message>
        <source>十二月</source>
        <translation>December</translation>
    </message>
    <message>
        <source>汉字</source>
        <comment>How this language writes the printed book: 汉字 for Chinese words and numerals; anything else for its own words and Arabic digits</comment>
        <translation>English</translation>
    </message>
    <message>
        <source>公元前%1年</source>
        <translation>%1 BC</translation>
    </message>
    <message>
        <source>%1年</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1年%2月</source>
        <translation>%2 %1</translation>
    </message>
    <message>
        <source>%1年%2月%3日</source>
        <translation>%3 %2 %1</translation>
    </message>
    <message>
        <source>%1（农历%2）</source>
        <translation>%1 (lunar: %2)</translation>
    </message>
    <message>
        <source>行%1</source>
        <translation>%1 son</translation>
    </message>
    <message>
        <source>%1女</source>
        <translation>%1 daughter</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>。</source>
        <translation>. </translation>
    </message>
    <message>
        <source>%1氏</source>
        <translation>Lady %1</translation>
    </message>
    <message>
        <source>%1生</source>
        <translation>born %1</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>a day and its hour (辰时)</comment>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1卒</source>
        <translation>died %1</translation>
    </message>
    <message>
        <source>享年%1岁</source>
        <translation>aged %1 (sui)</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>a husband&apos;s place and name</comment>
        <translation>%2 of %1</translation>
    </message>
    <message>
        <source>继配%1</source>
        <translation>second wife: %1</translation>
    </message>
    <message>
        <source>娶%1</source>
        <translation>married %1</translation>
    </message>
    <message>
        <source>侧室%1</source>
        <translation>concubine: %1</translation>
    </message>
    <message>
        <source>配%1</source>
        <translation>wife: %1</translation>
    </message>
    <message>
        <source>%1人</source>
        <translation>of %1</translation>
    </message>
    <message>
        <source>%1之女</source>
        <translation>daughter of %1</translation>
    </message>
    <message>
        <source>葬%1</source>
        <translation>buried at %1</translation>
    </message>
    <message>
        <source>（出继%1）</source>
        <translation> (continues the line of %1)</translation>
    </message>
    <message>
        <source>嗣子%1（%2之子）</source>
        <translation>%1 (adopted heir, son of %2)</translation>
    </message>
    <message>
        <source>（兼祧%1）</source>
        <translation> (also heir of %1)</translation>
    </message>
    <message>
        <source>子一：%1</source>
        <translation>one son: %1</translation>
    </message>
    <message>
        <source>子%1：%2</source>
        <translation>%1 sons: %2</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>女一，适%1</source>
        <translation>one daughter, married to %1</translation>
    </message>
    <message>
        <source>女一：%1</source>
        <translation>one daughter: %1</translation>
    </message>
    <message>
        <source>%1适%2</source>
        <translation>the %1 married to %2</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>a daughter&apos;s place among her sisters, then her name</comment>
        <translation>the %1, %2</translation>
    </message>
    <message>
        <source>女%1：%2</source>
        <translation>%1 daughters: %2</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <comment>a wife&apos;s surname and given name</comment>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>字%1</source>
        <translation>courtesy name %1</translation>
    </message>
    <message>
        <source>号%1</source>
        <translation>art name %1</translation>
    </message>
    <message>
        <source>生父%1</source>
        <translation>born to %1</translation>
    </message>
    <message>
        <source>兼祧%1</source>
        <translation>also heir of %1</translation>
    </message>
    <message>
        <source>适%1</source>
        <translation>married to %1</translation>
    </message>
    <message>
        <source>葬%1，%2</source>
        <translation>buried at %1, facing %2</translation>
    </message>
    <message>
        <source>墓%1</source>
        <translation>the grave faces %1</translation>
    </message>
    <message>
        <source>字%1</source>
        <comment>beside a name in a table</comment>
        <translation>cn. %1</translation>
    </message>
    <message>
        <source>%1—%2</source>
        <comment>years of birth and death in a table</comment>
        <translation>%1–%2</translation>
    </message>
    <message>
        <source>%1生</source>
        <comment>beside a name in a table</comment>
        <translation>b. %1</translation>
    </message>
    <message>
        <source>%1卒</source>
        <comment>beside a name in a table</comment>
        <translation>d. %1</translation>
    </message>
    <message>
        <source>配%1</source>
        <comment>beside a name in a table</comment>
        <translation>m. %1</translation>
    </message>
</context>
<context>
    <name>LongWork</name>
    <message>
        <source>家谱管理系统</source>
        <translation>Genealogy Manager</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>工作未能完成：%1</source>
        <translation>The work could not be finished: %1</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>unknown error</translation>
    </message>
</context>
<context>
    <name>MemberListModel</name>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>%1--%2--%3</source>
        <translation>%1--%2--%3</translation>
    </message>
    <message>
        <source>无</source>
        <translation>—</translation>
    </message>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>出生日期</source>
        <translation>Born</translation>
    </message>
    <message>
        <source>婚否</source>
        <translation>Married</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>健在否</source>
        <translation>Living</translation>
    </message>
    <message>
        <source>死亡日期</source>
        <translation>Died</translation>
    </message>
    <message>
        <source>孩子数</source>
        <translation>Children</translation>
    </message>
    <message>
        <source>排行</source>
        <translation>Birth order</translation>
    </message>
</context>
<context>
    <name>MemberRecordWindow</name>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>男</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>女</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>按出生排行</source>
        <translation>By birth order</translation>
    </message>
    <message>
        <source>时辰（子…亥）或 hh:mm</source>
        <translation>A double hour (zi to hai) or hh:mm</translation>
    </message>
    <message>
        <source>出继者的生父姓名</source>
        <translation>Name of the birth father of a son given in adoption</translation>
    </message>
    <message>
        <source>兼祧之父姓名</source>
        <translation>Name of the second father whose line he also continues</translation>
    </message>
    <message>
        <source>适</source>
        <translation>Married to</translation>
    </message>
    <message>
        <source>谱中记载</source>
        <translation>In the genealogy</translation>
    </message>
    <message>
        <source>姓名:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>父亲:</source>
        <translation>Father:</translation>
    </message>
    <message>
        <source>出生日期:</source>
        <translation>Born:</translation>
    </message>
    <message>
        <source>去世日期:</source>
        <translation>Died:</translation>
    </message>
    <message>
        <source>婚否:</source>
        <translation>Married:</translation>
    </message>
    <message>
        <source>地址:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>基本</source>
        <translation>Basic</translation>
    </message>
    <message>
        <source>配偶</source>
        <translation>Wives</translation>
    </message>
    <message>
        <source>称</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>姓</source>
        <translation>Surname</translation>
    </message>
    <message>
        <source>名</source>
        <translation>Given name</translation>
    </message>
    <message>
        <source>籍贯</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>父亲</source>
        <translation>Father</translation>
    </message>
    <message>
        <source>出生日期</source>
        <translation>Born</translation>
    </message>
    <message>
        <source>去世日期</source>
        <translation>Died</translation>
    </message>
    <message>
        <source>葬地</source>
        <translation>Burial place</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>增加配偶…</source>
        <translation>Add wife…</translation>
    </message>
    <message>
        <source>修改配偶…</source>
        <translation>Change wife…</translation>
    </message>
    <message>
        <source>删除配偶</source>
        <translation>Remove wife</translation>
    </message>
    <message>
        <source>家人为他所写的生平，可分段。</source>
        <translation>His life as the family writes it, in paragraphs.</translation>
    </message>
    <message>
        <source>生平</source>
        <translation>Life</translation>
    </message>
    <message>
        <source>如 坐北朝南</source>
        <translation>e.g. back to the north, facing south</translation>
    </message>
    <message>
        <source>墓葬</source>
        <translation>Burial</translation>
    </message>
    <message>
        <source>照片</source>
        <translation>Photos</translation>
    </message>
    <message>
        <source>增加照片…</source>
        <translation>Add photo…</translation>
    </message>
    <message>
        <source>删除照片</source>
        <translation>Remove photo</translation>
    </message>
    <message>
        <source>说明:</source>
        <translation>Caption:</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Sources</translation>
    </message>
    <message>
        <source>题名</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>页码或细节</source>
        <translation>Page or detail</translation>
    </message>
    <message>
        <source>题名:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>页码或细节:</source>
        <translation>Page or detail:</translation>
    </message>
    <message>
        <source>增加来源</source>
        <translation>Add source</translation>
    </message>
    <message>
        <source>删除来源</source>
        <translation>Remove source</translation>
    </message>
    <message>
        <source>成员资料 - %1</source>
        <translation>Member Record - %1</translation>
    </message>
    <message>
        <source>成员资料</source>
        <translation>Member Record</translation>
    </message>
    <message>
        <source>未选择成员</source>
        <translation>No member selected</translation>
    </message>
    <message>
        <source>未填</source>
        <translation>Not given</translation>
    </message>
    <message>
        <source>（始祖）</source>
        <translation>(root ancestor)</translation>
    </message>
    <message>
        <source>健在</source>
        <translation>Living</translation>
    </message>
    <message>
        <source>已婚</source>
        <translation>Married</translation>
    </message>
    <message>
        <source>未婚</source>
        <translation>Unmarried</translation>
    </message>
    <message>
        <source>%1（肖像）</source>
        <translation>%1 (portrait)</translation>
    </message>
    <message>
        <source>本家谱中找不到%1!</source>
        <translation>%1 is not in this genealogy.</translation>
    </message>
    <message>
        <source>%1不能是%2的%3!</source>
        <translation>%1 cannot be the %3 of %2.</translation>
    </message>
    <message>
        <source>图片 (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff);;所有文件 (*)</source>
        <translation>Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff);;All files (*)</translation>
    </message>
    <message>
        <source>%1 太大（超过 %2 MB），照片没有增加。</source>
        <translation>%1 is too large (over %2 MB); no photo was added.</translation>
    </message>
    <message>
        <source>无法读取 %1，照片没有增加。</source>
        <translation>%1 cannot be read; no photo was added.</translation>
    </message>
    <message>
        <source>%1 不是能读的图片，照片没有增加。</source>
        <translation>%1 is not a picture this program can read; no photo was added.</translation>
    </message>
    <message>
        <source>%1 的像素太多（超过 %2 百万像素），照片没有增加。</source>
        <translation>%1 has too many pixels (over %2 megapixels); no photo was added.</translation>
    </message>
    <message>
        <source>请输入来源的题名!</source>
        <translation>Please enter the title of the source.</translation>
    </message>
    <message>
        <source>出继之子:</source>
        <translation>Sons given out:</translation>
    </message>
    <message>
        <source>%1（出继%2）</source>
        <translation>%1 (continues the line of %2)</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>MemberSearchBar</name>
    <message>
        <source>查找成员</source>
        <translation>Find member</translation>
    </message>
    <message>
        <source>没有找到</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>找到 %1 人，这是第 %2 人</source>
        <translation>%2 of %1</translation>
    </message>
    <message>
        <source>找到 %1 人</source>
        <translation>%1 found</translation>
    </message>
    <message>
        <source>按姓名、地址、字号、行传或姓名的拼音查找；回车或 F3 到下一个，Shift+回车到上一个</source>
        <translation>Find by name, address, courtesy or art name, life record or the pinyin of a name; Enter or F3 for the next, Shift+Enter for the previous</translation>
    </message>
</context>
<context>
    <name>MergeReview</name>
    <message>
        <source>家谱中已有同名成员（%1之子）</source>
        <translation>The genealogy already has a member of this name (child of %1)</translation>
    </message>
    <message>
        <source>家谱中已有同名成员（始祖）</source>
        <translation>The genealogy already has a member of this name (the root ancestor)</translation>
    </message>
    <message>
        <source>支谱中另一位新增成员已用此名</source>
        <translation>Another new member of the branch book has this name</translation>
    </message>
    <message>
        <source>姓名无法存入家谱：为空、为“end”、含空格或多于 %1 个字符</source>
        <translation>The name cannot be stored in the genealogy: it is empty, is &quot;end&quot;, has spaces or is longer than %1 characters</translation>
    </message>
    <message>
        <source>地址无法存入家谱：含空格或多于 %1 个字符</source>
        <translation>The address cannot be stored in the genealogy: it has spaces or is longer than %1 characters</translation>
    </message>
    <message>
        <source>出生日期 %1 不是有效的日期</source>
        <translation>The date of birth %1 is not a real date</translation>
    </message>
    <message>
        <source>去世日期 %1 无效或早于出生日期</source>
        <translation>The date of death %1 is not real or is earlier than the date of birth</translation>
    </message>
    <message>
        <source>出生日期不晚于父亲%1</source>
        <translation>Born no later than the father, %1</translation>
    </message>
    <message>
        <source>出生日期不早于子女（子女保留家谱中的日期）</source>
        <translation>Born no earlier than a child (the children keep the genealogy&apos;s dates)</translation>
    </message>
    <message>
        <source>连同后代共 %1 人并入</source>
        <translation>Merged, with descendants (%1 members in all)</translation>
    </message>
    <message>
        <source>并入</source>
        <translation>Merged</translation>
    </message>
    <message>
        <source>连同后代共 %1 人不并入</source>
        <translation>Not merged, with descendants (%1 members in all)</translation>
    </message>
    <message>
        <source>不并入</source>
        <translation>Not merged</translation>
    </message>
    <message>
        <source>随上辈不并入</source>
        <translation>Not merged, as an ancestor is not</translation>
    </message>
    <message>
        <source>取支谱的数据</source>
        <translation>Takes the branch book&apos;s details</translation>
    </message>
    <message>
        <source>保留家谱的数据</source>
        <translation>Keeps the genealogy&apos;s details</translation>
    </message>
    <message>
        <source>保留</source>
        <translation>Kept</translation>
    </message>
    <message>
        <source>已婚</source>
        <translation>Married</translation>
    </message>
    <message>
        <source>未婚</source>
        <translation>Unmarried</translation>
    </message>
    <message>
        <source>健在</source>
        <translation>Living</translation>
    </message>
    <message>
        <source>%1 去世</source>
        <translation>Died %1</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>取支谱</source>
        <translation>Branch book</translation>
    </message>
    <message>
        <source>取家谱</source>
        <translation>Genealogy</translation>
    </message>
    <message>
        <source>新增</source>
        <translation>New</translation>
    </message>
    <message>
        <source>不同</source>
        <translation>Different</translation>
    </message>
    <message>
        <source>已解决</source>
        <translation>Resolved</translation>
    </message>
    <message>
        <source>%1…（共 %2 字）</source>
        <translation>%1… (%2 characters)</translation>
    </message>
    <message>
        <source>女</source>
        <translation>female</translation>
    </message>
    <message>
        <source>男</source>
        <translation>male</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>MergeReviewModel</name>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>父亲</source>
        <translation>Father</translation>
    </message>
    <message>
        <source>出生日期</source>
        <translation>Born</translation>
    </message>
    <message>
        <source>人数（含后代）</source>
        <translation>Members (with descendants)</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>采用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>出生日期（家谱）</source>
        <translation>Born (genealogy)</translation>
    </message>
    <message>
        <source>出生日期（支谱）</source>
        <translation>Born (branch book)</translation>
    </message>
    <message>
        <source>婚否（家谱）</source>
        <translation>Married (genealogy)</translation>
    </message>
    <message>
        <source>婚否（支谱）</source>
        <translation>Married (branch book)</translation>
    </message>
    <message>
        <source>地址（家谱）</source>
        <translation>Address (genealogy)</translation>
    </message>
    <message>
        <source>地址（支谱）</source>
        <translation>Address (branch book)</translation>
    </message>
    <message>
        <source>健在否（家谱）</source>
        <translation>Living (genealogy)</translation>
    </message>
    <message>
        <source>健在否（支谱）</source>
        <translation>Living (branch book)</translation>
    </message>
    <message>
        <source>类别</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>原因</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>资料（家谱）</source>
        <translation>Record (genealogy)</translation>
    </message>
    <message>
        <source>资料（支谱）</source>
        <translation>Record (branch)</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>是(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>否(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
</context>
<context>
    <name>ModifyInfoDlg</name>
    <message>
        <source>修改信息</source>
        <translation>Change a Member</translation>
    </message>
    <message>
        <source>个人修改信息</source>
        <translation>Member&apos;s new details</translation>
    </message>
    <message>
        <source>修改后姓名:</source>
        <translation>New name:</translation>
    </message>
    <message>
        <source>修改后出生日期：</source>
        <translation>New date of birth:</translation>
    </message>
    <message>
        <source>修改后出生日期：年</source>
        <translation>New date of birth: year</translation>
    </message>
    <message>
        <source>年</source>
        <translation>year</translation>
    </message>
    <message>
        <source>修改后出生日期：月</source>
        <translation>New date of birth: month</translation>
    </message>
    <message>
        <source>月</source>
        <translation>month</translation>
    </message>
    <message>
        <source>修改后出生日期：日</source>
        <translation>New date of birth: day</translation>
    </message>
    <message>
        <source>日</source>
        <translation>day</translation>
    </message>
    <message>
        <source>修改后地址:</source>
        <translation>New address:</translation>
    </message>
    <message>
        <source>现在健在否</source>
        <translation>Living now</translation>
    </message>
    <message>
        <source>现在婚否</source>
        <translation>Married now</translation>
    </message>
    <message>
        <source>修改后死亡日期:</source>
        <translation>New date of death:</translation>
    </message>
    <message>
        <source>修改后死亡日期:年</source>
        <translation>New date of death: year</translation>
    </message>
    <message>
        <source>修改后死亡日期:月</source>
        <translation>New date of death: month</translation>
    </message>
    <message>
        <source>修改后死亡日期:日</source>
        <translation>New date of death: day</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>出生日期（农历或年号）：</source>
        <translation>Chinese date of birth:</translation>
    </message>
    <message>
        <source>1890-3-5、光绪十六年二月十五、光绪十六年闰二月十五或庚寅年二月十五</source>
        <translation>1890-3-5, 光绪十六年二月十五, 光绪十六年闰二月十五 or 庚寅年二月十五</translation>
    </message>
    <message>
        <source>死亡日期（农历或年号）：</source>
        <translation>Chinese date of death:</translation>
    </message>
</context>
<context>
    <name>ModifyNameDlg</name>
    <message>
        <source>修改个人信息</source>
        <translation>Change a Member&apos;s Details</translation>
    </message>
    <message>
        <source>输入要修改的人的名字：</source>
        <translation>Name of the member to change:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>MourningChartDialog</name>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>MourningText</name>
    <message>
        <source>高祖父母</source>
        <translation>Great-great-grandparents</translation>
    </message>
    <message>
        <source>曾祖父母</source>
        <translation>Great-grandparents</translation>
    </message>
    <message>
        <source>族曾祖父母</source>
        <translation>Great-grandfather&apos;s brothers</translation>
    </message>
    <message>
        <source>族曾祖姑</source>
        <translation>Great-grandfather&apos;s sisters</translation>
    </message>
    <message>
        <source>祖父母</source>
        <translation>Grandparents</translation>
    </message>
    <message>
        <source>伯叔祖父母</source>
        <translation>Grandfather&apos;s brothers</translation>
    </message>
    <message>
        <source>族伯叔祖父母</source>
        <translation>Grandfather&apos;s first cousins</translation>
    </message>
    <message>
        <source>祖姑</source>
        <translation>Grandfather&apos;s sisters</translation>
    </message>
    <message>
        <source>族祖姑</source>
        <translation>Grandfather&apos;s female first cousins</translation>
    </message>
    <message>
        <source>父母</source>
        <translation>Parents</translation>
    </message>
    <message>
        <source>伯叔父母</source>
        <translation>Father&apos;s brothers</translation>
    </message>
    <message>
        <source>堂伯叔父母</source>
        <translation>Father&apos;s first cousins</translation>
    </message>
    <message>
        <source>族伯叔父母</source>
        <translation>Father&apos;s second cousins</translation>
    </message>
    <message>
        <source>姑</source>
        <translation>Father&apos;s sisters</translation>
    </message>
    <message>
        <source>堂姑</source>
        <translation>Father&apos;s female first cousins</translation>
    </message>
    <message>
        <source>族姑</source>
        <translation>Father&apos;s female second cousins</translation>
    </message>
    <message>
        <source>己身</source>
        <translation>Self</translation>
    </message>
    <message>
        <source>兄弟</source>
        <translation>Brothers</translation>
    </message>
    <message>
        <source>堂兄弟</source>
        <translation>First cousins</translation>
    </message>
    <message>
        <source>再从兄弟</source>
        <translation>Second cousins</translation>
    </message>
    <message>
        <source>族兄弟</source>
        <translation>Third cousins</translation>
    </message>
    <message>
        <source>姊妹</source>
        <translation>Sisters</translation>
    </message>
    <message>
        <source>堂姊妹</source>
        <translation>Female first cousins</translation>
    </message>
    <message>
        <source>再从姊妹</source>
        <translation>Female second cousins</translation>
    </message>
    <message>
        <source>族姊妹</source>
        <translation>Female third cousins</translation>
    </message>
    <message>
        <source>子</source>
        <translation>Sons</translation>
    </message>
    <message>
        <source>侄</source>
        <translation>Brothers&apos; sons</translation>
    </message>
    <message>
        <source>堂侄</source>
        <translation>First cousins&apos; sons</translation>
    </message>
    <message>
        <source>再从侄</source>
        <translation>Second cousins&apos; sons</translation>
    </message>
    <message>
        <source>女</source>
        <translation>Daughters</translation>
    </message>
    <message>
        <source>侄女</source>
        <translation>Brothers&apos; daughters</translation>
    </message>
    <message>
        <source>堂侄女</source>
        <translation>First cousins&apos; daughters</translation>
    </message>
    <message>
        <source>再从侄女</source>
        <translation>Second cousins&apos; daughters</translation>
    </message>
    <message>
        <source>孙</source>
        <translation>Grandsons</translation>
    </message>
    <message>
        <source>侄孙</source>
        <translation>Brothers&apos; grandsons</translation>
    </message>
    <message>
        <source>堂侄孙</source>
        <translation>First cousins&apos; grandsons</translation>
    </message>
    <message>
        <source>孙女</source>
        <translation>Granddaughters</translation>
    </message>
    <message>
        <source>侄孙女</source>
        <translation>Brothers&apos; granddaughters</translation>
    </message>
    <message>
        <source>堂侄孙女</source>
        <translation>First cousins&apos; granddaughters</translation>
    </message>
    <message>
        <source>曾孙</source>
        <translation>Great-grandsons</translation>
    </message>
    <message>
        <source>曾侄孙</source>
        <translation>Brothers&apos; great-grandsons</translation>
    </message>
    <message>
        <source>曾孙女</source>
        <translation>Great-granddaughters</translation>
    </message>
    <message>
        <source>曾侄孙女</source>
        <translation>Brothers&apos; great-granddaughters</translation>
    </message>
    <message>
        <source>玄孙</source>
        <translation>Great-great-grandsons</translation>
    </message>
    <message>
        <source>玄孙女</source>
        <translation>Great-great-granddaughters</translation>
    </message>
    <message>
        <source>斩衰三年</source>
        <translation>Untrimmed sackcloth (3 years)</translation>
    </message>
    <message>
        <source>齐衰杖期</source>
        <translation>Trimmed sackcloth, with staff (1 year)</translation>
    </message>
    <message>
        <source>齐衰不杖期</source>
        <translation>Trimmed sackcloth (1 year)</translation>
    </message>
    <message>
        <source>齐衰五月</source>
        <translation>Trimmed sackcloth (5 months)</translation>
    </message>
    <message>
        <source>齐衰三月</source>
        <translation>Trimmed sackcloth (3 months)</translation>
    </message>
    <message>
        <source>大功九月</source>
        <translation>Greater processing (9 months)</translation>
    </message>
    <message>
        <source>小功五月</source>
        <translation>Lesser processing (5 months)</translation>
    </message>
    <message>
        <source>缌麻三月</source>
        <translation>Fine hemp (3 months)</translation>
    </message>
    <message>
        <source>无服</source>
        <translation>No mourning</translation>
    </message>
    <message>
        <source>在室：%1</source>
        <translation>Unmarried: %1</translation>
    </message>
    <message>
        <source>出嫁：%1</source>
        <translation>Married out: %1</translation>
    </message>
    <message>
        <source>妻：%1</source>
        <translation>Wives: %1</translation>
    </message>
    <message>
        <source>%1 本宗九族五服图</source>
        <translation>Mourning grades of %1&apos;s clan</translation>
    </message>
    <message>
        <source>五服图</source>
        <translation>Mourning Grades</translation>
    </message>
    <message>
        <source>家谱是空的，没有可画的五服图。</source>
        <translation>The genealogy is empty; there is no mourning grades chart to draw.</translation>
    </message>
</context>
<context>
    <name>PdfSink</name>
    <message>
        <source>设备拒绝写入</source>
        <translation>the device refused the write</translation>
    </message>
    <message>
        <source>无法写入 PDF：%1。</source>
        <translation>Could not write the PDF: %1.</translation>
    </message>
</context>
<context>
    <name>PersonalInfoDlg</name>
    <message>
        <source>按姓名查询个人信息</source>
        <translation>Look Up a Member</translation>
    </message>
    <message>
        <source>请输入要查询名字:</source>
        <translation>Name to look up:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>RelationsDlg</name>
    <message>
        <source>两人关系比较</source>
        <translation>Compare Two Members</translation>
    </message>
    <message>
        <source>请输入两人姓名:</source>
        <translation>Names of the two members:</translation>
    </message>
    <message>
        <source>第一人姓名:</source>
        <translation>First member:</translation>
    </message>
    <message>
        <source>第二人姓名:</source>
        <translation>Second member:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SearchGenerationDlg</name>
    <message>
        <source>查询一代人信息</source>
        <translation>List a Generation</translation>
    </message>
    <message>
        <source>要查询第</source>
        <translation>List generation</translation>
    </message>
    <message>
        <source>要查询第 代的信息</source>
        <translation>Generation to list</translation>
    </message>
    <message>
        <source>代的信息</source>
        <translation>of the genealogy</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SpouseDialog</name>
    <message>
        <source>配</source>
        <translation>First wife</translation>
    </message>
    <message>
        <source>继配</source>
        <translation>Second wife</translation>
    </message>
    <message>
        <source>娶</source>
        <translation>Wife</translation>
    </message>
    <message>
        <source>侧室</source>
        <translation>Concubine</translation>
    </message>
    <message>
        <source>%1氏</source>
        <translation>née %1</translation>
    </message>
    <message>
        <source>配偶</source>
        <translation>Wife</translation>
    </message>
    <message>
        <source>称:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>姓:</source>
        <translation>Surname:</translation>
    </message>
    <message>
        <source>名:</source>
        <translation>Given name:</translation>
    </message>
    <message>
        <source>籍贯:</source>
        <translation>Home:</translation>
    </message>
    <message>
        <source>父亲:</source>
        <translation>Father:</translation>
    </message>
    <message>
        <source>如 王公某某</source>
        <translation>e.g. Mr Wang of such-and-such</translation>
    </message>
    <message>
        <source>出生日期:</source>
        <translation>Born:</translation>
    </message>
    <message>
        <source>如 1890-3-5 或 光绪十六年二月十五</source>
        <translation>e.g. 1890-3-5 or 光绪十六年二月十五</translation>
    </message>
    <message>
        <source>健在</source>
        <translation>Living</translation>
    </message>
    <message>
        <source>去世日期:</source>
        <translation>Died:</translation>
    </message>
    <message>
        <source>葬地:</source>
        <translation>Burial place:</translation>
    </message>
    <message>
        <source>备注:</source>
        <translation>Notes:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>“%1”是哪一天？</source>
        <translation>Which day is “%1”?</translation>
    </message>
    <message>
        <source>请输入配偶的姓或名!</source>
        <translation>Please enter the wife&apos;s surname or given name.</translation>
    </message>
    <message>
        <source>去世日期早于出生日期!</source>
        <translation>The date of death is earlier than the date of birth.</translation>
    </message>
    <message>
        <source>某氏</source>
        <translation>(name unknown)</translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message>
        <source>统计信息</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>成员：%1 人</source>
        <translation>Members: %1</translation>
    </message>
    <message>
        <source>在世：%1 人&#x3000;&#x3000;已故：%2 人</source>
        <translation>Living: %1    Deceased: %2</translation>
    </message>
    <message>
        <source>已婚：%1 人（%2%）</source>
        <translation>Married: %1 (%2%)</translation>
    </message>
    <message>
        <source>各世人数</source>
        <translation>Members per generation</translation>
    </message>
    <message>
        <source>每十年出生人数</source>
        <translation>Births per decade</translation>
    </message>
    <message>
        <source>%1年代</source>
        <translation>%1s</translation>
    </message>
    <message>
        <source>%1–%2</source>
        <translation>%1–%2</translation>
    </message>
    <message>
        <source>（最多）</source>
        <translation> (most)</translation>
    </message>
    <message>
        <source>无法写入文件“%1”。</source>
        <translation>Cannot write the file “%1”.</translation>
    </message>
    <message>
        <source>无法识别“%1”的格式：文件名应以 .png 或 .svg 结尾。</source>
        <translation>Unknown format of “%1”: the file name should end in .png or .svg.</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png);;SVG 图形 (*.svg)</source>
        <translation>PNG images (*.png);;SVG images (*.svg)</translation>
    </message>
    <message>
        <source>统计(&amp;S)</source>
        <translation>&amp;Statistics</translation>
    </message>
    <message>
        <source>导出图片…</source>
        <translation>Export image…</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>StorableText</name>
    <message>
        <source>姓名中含有无法保存的字符!</source>
        <translation>The name contains a character that cannot be saved.</translation>
    </message>
    <message>
        <source>地址中含有无法保存的字符!</source>
        <translation>The address contains a character that cannot be saved.</translation>
    </message>
</context>
<context>
    <name>Vendor</name>
    <message>
        <source>Morvane软件:%1</source>
        <translation>Morvane Software: %1</translation>
    </message>
    <message>
        <source>Morvane家谱制作软件反馈</source>
        <translation>Clanbook feedback</translation>
    </message>
</context>
</TS>
