#include "app/main_frame.h"
#include "view/qx_view.h"

#include <QAction>
#include <QtTest>

using namespace tgw;

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE")); }

    void commandsAndTheirState() {
        CMainFrame frame;
        frame.show();
        CQxView& v = frame.view();
        v.settings().fontType = kFontGb2312_16;
        v.settings().width = v.settings().height = 16;
        QVERIFY(!frame.action(kCmdDeleteAll)->isEnabled());
        QVERIFY(!frame.action(kCmdDeleteSelected)->isEnabled());
        QCOMPARE(v.addCharacters(u"中文ABC"), size_t(5));
        QTRY_VERIFY(frame.infoText().contains("〖字模数量：5 [0/5]〗"));
        QVERIFY(frame.action(kCmdDeleteAll)->isEnabled());

        frame.action(kCmdSelectAll)->trigger();
        QVERIFY(frame.action(kCmdDeleteSelected)->isEnabled());
        QTRY_VERIFY(frame.infoText().contains("〖字模数量：5 [5/0]〗"));

        // The current cell size and colour are checked and cannot be chosen again.
        frame.action(kCmdCellSizeFirst + 11)->trigger(); // 12 pixels
        QCOMPARE(v.settings().pointSize, 12);
        QVERIFY(frame.action(kCmdCellSizeFirst + 11)->isChecked());
        QVERIFY(!frame.action(kCmdCellSizeFirst + 11)->isEnabled());
        QVERIFY(frame.action(kCmdCellSizeFirst + 3)->isEnabled());
        frame.action(kCmdColorFirst + 2)->trigger();
        QCOMPARE(v.settings().color, 2);
        QVERIFY(!frame.action(kCmdColorFirst + 2)->isEnabled());

        // Check items toggle their settings.
        frame.action(kCmdFilterDuplicates)->trigger();
        QCOMPARE(v.settings().filterRedup, 0);
        QVERIFY(!frame.action(kCmdFilterDuplicates)->isChecked());
        frame.action(kCmdMouseEdit)->trigger();
        QVERIFY(v.list().at(0).mouseEdit());

        frame.action(kCmdRotate90)->trigger();
        frame.action(kCmdDeleteSelected)->trigger();
        QVERIFY(v.list().empty());
        QVERIFY(!frame.action(kCmdDeleteAll)->isEnabled());
    }

    void everyMenuCommandHasItsPrompt() {
        CMainFrame frame;
        for (int id : {kCmdAddChars, kCmdExportCode, kCmdDeleteAll})
            QVERIFY(!frame.action(id)->statusTip().isEmpty());
        QCOMPARE(frame.action(kCmdAddChars)->statusTip(), QString("添加待取模的单写字符"));
        QCOMPARE(frame.action(kCmdExportCode)->statusTip(),
                 QString("为正在编辑的字模导出C或ASM点阵代码"));
        QCOMPARE(frame.action(kCmdDeleteAll)->statusTip(), QString("清除所有已取字模"));
        QVERIFY(!frame.action(kCmdAddChars)->icon().isNull());
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
