#include "app/add_chars_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "view/qx_view.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QProcess>
#include <QtTest>

using namespace tgw;

namespace {

// The dots of every entry, to compare documents.
std::vector<CDotMatrix> matrices(CQxView& v) {
    std::vector<CDotMatrix> out;
    for (size_t i = 0; i < v.list().size(); ++i) {
        (void)v.list().at(i).ensureRendered();
        out.push_back(v.list().at(i).matrix());
    }
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

} // namespace

class ProjectGuiTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString nextFile;
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::No;

private slots:
    void init() {
        QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE"));
        questions.clear();
        setFileHook([this](const QString&) { return nextFile; });
        setMessageHook([this](QMessageBox::Icon, const QString& title, const QString& text,
                              QMessageBox::StandardButtons) {
            questions << title + "|" + text;
            return answer;
        });
    }
    void cleanup() {
        setMessageHook({});
        setFileHook({});
    }

    void saveCloseReopenShowsTheSameMatrices() {
        const QString path = dir.filePath("work.tgx");
        std::vector<CDotMatrix> before;
        {
            CMainFrame frame;
            CQxView& v = frame.view();
            v.document().settings().fontType = kFontGb2312_16;
            v.document().settings().width = v.document().settings().height = 16;
            v.addCharacters(u"中文A");
            v.list().select(0, ESelect::Replace);
            v.editSelected(EMatrixEdit::Rotate90);
            v.list().at(1).setDot(0, 0, true); // a hand edit
            before = matrices(v);
            nextFile = path;
            frame.action(kCmdSave)->trigger(); // no path yet: asks for one
            QVERIFY(!v.document().modified());
            QCOMPARE(frame.documentPath(), path);
            QVERIFY(frame.windowTitle().startsWith("work.tgx - "));
        }
        CMainFrame frame;
        nextFile = path;
        frame.action(kCmdOpen)->trigger();
        QVERIFY(questions.isEmpty());
        QVERIFY(matrices(frame.view()) == before);
        QVERIFY(!frame.view().document().modified());
    }

    void tgwExportsAProjectAsTheProgramDoes() {
        // tgw writes a project, the program opens it and exports the library; tgw exports the
        // same project file: the bytes agree.
        const QString project = dir.filePath("cli.tgx");
        QProcess make;
        make.start(TGW_BINARY, {"project", "--face", "DejaVu Sans", "--width", "12", "--height",
                                "14", "Ag中", "--string", "Hi", "-o", project});
        QVERIFY(make.waitForFinished(30000));
        QCOMPARE(make.exitCode(), 0);

        CMainFrame frame;
        nextFile = project;
        frame.action(kCmdOpen)->trigger();
        QCOMPARE(frame.view().list().size(), size_t(4));
        const QString ours = dir.filePath("ours.bin");
        nextFile = ours;
        answer = QMessageBox::Yes; // with the index
        frame.action(kCmdExportLibrary)->trigger();

        QProcess exported;
        exported.start(TGW_BINARY, {"export", "--project", project, "--format", "bin", "--index"});
        QVERIFY(exported.waitForFinished(30000));
        QCOMPARE(exported.exitCode(), 0);
        QFile file(ours);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray mine = file.readAll();
        QVERIFY(mine.size() > 4 + 40);
        QCOMPARE(exported.readAllStandardOutput(), mine);
    }

    void aDamagedFileLeavesTheOpenDocumentUntouched() {
        const QString bad = dir.filePath("bad.tgx");
        writeFile(bad, "\xFF\xFE<\0x\0");
        CMainFrame frame;
        CQxView& v = frame.view();
        v.document().settings().fontType = kFontAscii8x16;
        v.document().settings().width = 8;
        v.document().settings().height = 16;
        v.addCharacters(u"AB");
        auto before = matrices(v);
        answer = QMessageBox::No; // do not save the modified work first
        nextFile = bad;
        frame.action(kCmdOpen)->trigger();
        QCOMPARE(questions.size(), 2);
        QVERIFY(questions[0].startsWith("Tessaglyphworks 确认|是否保存对“无标题”的修改？"));
        QCOMPARE(
            questions[1],
            QString("Tessaglyphworks 提示|打开失败，请检查文件是否损坏或由更高版本软件创建！"));
        QVERIFY(matrices(v) == before);
        QVERIFY(v.document().modified());
    }

    void newAsksBeforeWorkIsLostAndCancelKeepsIt() {
        CMainFrame frame;
        CQxView& v = frame.view();
        v.document().settings().fontType = kFontAscii8x16;
        v.addCharacters(u"A");
        answer = QMessageBox::Cancel;
        frame.action(kCmdNew)->trigger();
        QCOMPARE(v.list().size(), size_t(1));
        answer = QMessageBox::No;
        frame.action(kCmdNew)->trigger();
        QVERIFY(v.list().empty());
        QVERIFY(!v.document().modified());
        // Nothing to lose: no question.
        questions.clear();
        frame.action(kCmdNew)->trigger();
        QVERIFY(questions.isEmpty());
    }

    void aFailedSaveKeepsTheDocumentModified() {
        CMainFrame frame;
        frame.view().document().settings().fontType = kFontAscii8x16;
        frame.view().addCharacters(u"A");
        nextFile = dir.filePath("no/such/folder/x.tgx");
        frame.action(kCmdSaveAs)->trigger();
        QCOMPARE(questions.last(), QString("提示|保存项目文件失败，请检查后重试!"));
        QVERIFY(frame.view().document().modified());
    }

    void importFillsTheCharacterField() {
        CAddCharsDialog dialog;
        dialog.editor()->setPlainText("old");
        const QString empty = dir.filePath("empty.txt");
        writeFile(empty, "");
        nextFile = empty;
        dialog.importText();
        QCOMPARE(dialog.text(), QString());

        const QString le = dir.filePath("le.txt");
        writeFile(le, QByteArray("\xFF\xFE"
                                 "A\0\x2D\x4E",
                                 6));
        nextFile = le;
        dialog.importText();
        QCOMPARE(dialog.text(), QString("A中"));

        // Big-endian UTF-16 after its mark, and UTF-8 without one.
        const QString be = dir.filePath("be.txt");
        writeFile(be, QByteArray("\xFE\xFF\0A", 4));
        nextFile = be;
        dialog.importText();
        QCOMPARE(dialog.text(), QString("A"));
        const QString utf8 = dir.filePath("utf8.txt");
        writeFile(utf8, QString("中文A").toUtf8());
        nextFile = utf8;
        dialog.importText();
        QCOMPARE(dialog.text(), QString("中文A"));

        nextFile = dir.filePath("missing.txt");
        dialog.importText();
        QCOMPARE(questions.last(), QString("Tessaglyphworks 提示|文件打开失败，请检查后重试！"));
        QVERIFY(dialog.text().endsWith("A")); // unchanged
    }
};

QTEST_MAIN(ProjectGuiTest)
#include "project_gui_test.moc"
