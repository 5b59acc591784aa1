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
        <translation>Year</translation>
    </message>
    <message>
        <source>出生日期：月</source>
        <translation>Date of birth: month</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>出生日期：日</source>
        <translation>Date of birth: day</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Day</translation>
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
        <translation>Month</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Day</translation>
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
    <name>CFileOpenAndSaveDlg</name>
    <message>
        <source>家谱文件--Family Tree Files(*.ftf);;All Files(*)</source>
        <translation>Family Tree Files (*.ftf);;All Files (*)</translation>
    </message>
    <message>
        <source>请输入要打开的文件名:</source>
        <translation>Name of the file to open:</translation>
    </message>
    <message>
        <source>请输入要保存的文件名:</source>
        <translation>Name of the file to save:</translation>
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
        <source>启动时打开的家谱文件（.ftf）。</source>
        <translation>A genealogy file (.ftf) to open at start.</translation>
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
        <translation>Year</translation>
    </message>
    <message>
        <source>修改后出生日期：月</source>
        <translation>New date of birth: month</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>修改后出生日期：日</source>
        <translation>New date of birth: day</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Day</translation>
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
    <name>StorableText</name>
    <message>
        <source>姓名中含有无法保存的字符!</source>
        <translation>The name contains a character that cannot be saved!</translation>
    </message>
    <message>
        <source>地址中含有无法保存的字符!</source>
        <translation>The address contains a character that cannot be saved!</translation>
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
