#include "app/add_string_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/network_dialog.h"
#include "base/file_name.h"
#include "codegen/binary_file.h"
#include "view/qx_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

#include <fstream>

using namespace tgw;

namespace {

// Fills the next modal dialog of type T once it is shown, then accepts it.
template <class T> void whenShown(std::function<void(T*)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!d)
            return whenShown<T>(fill);
        fill(d);
        d->accept();
    });
}

// A 24-bit bottom-up BMP of w × h pixels of one grey level, with one white pixel at the top left.
QByteArray bmp(int w, int h, uint8_t grey) {
    const int stride = (w * 3 + 3) & ~3;
    QByteArray b;
    QDataStream s(&b, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("BM", 2);
    s << quint32(54 + stride * h) << quint32(0) << quint32(54);
    s << quint32(40) << qint32(w) << qint32(h) << quint16(1) << quint16(24) << quint32(0)
      << quint32(stride * h) << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, char(0));
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k)
                row[x * 3 + k] = char(x == 0 && y == 0 ? 255 : grey);
        s.writeRawData(row.constData(), row.size());
    }
    return b;
}

} // namespace

class AddEntriesTest : public QObject {
    Q_OBJECT

    QStringList messages;
    QString nextFile;

private slots:
    void init() {
        QFile::remove(qEnvironmentVariable("TESSAGLYPHWORKS_PROFILE"));
        messages.clear();
        setMessageHook([this](QMessageBox::Icon, const QString& title, const QString& text,
                              QMessageBox::StandardButtons) {
            messages << title + "|" + text;
            return QMessageBox::Ok;
        });
        setFileHook([this](const QString&) { return nextFile; });
    }
    void cleanup() {
        setMessageHook({});
        setFileHook({});
    }

    void stringsAreAddedOnceWithTheDuplicateFilter() {
        CMainFrame frame;
        CQxView& v = frame.view();
        v.document().settings().fontType = kFontAscii8x16;
        v.document().settings().width = 8;
        v.document().settings().height = 16;
        v.setMouseEdit(true);
        whenShown<CAddStringDialog>(
            [](CAddStringDialog* d) { d->editor()->setPlainText("AB\nC"); });
        frame.action(kCmdAddString)->trigger();
        QCOMPARE(v.list().size(), size_t(1));
        QVERIFY(v.list().at(0).isString());
        QCOMPARE(v.list().at(0).width(), 16);
        QCOMPARE(v.list().at(0).height(), 32);
        QVERIFY(v.list().at(0).mouseEdit());

        whenShown<CAddStringDialog>([](CAddStringDialog* d) {
            d->editor()->setPlainText("AB\nC");
            d->rtlCheck()->setChecked(true);
        });
        frame.action(kCmdAddString)->trigger();
        QCOMPARE(v.list().size(), size_t(1));
        QCOMPARE(messages,
                 QStringList{"Tessaglyphworks 提示|重复过滤功能已开启，不能重复添加同一字串！"});
    }

    void sendingHandsTheSelectedEntriesToTheDialog() {
        CMainFrame frame;
        CQxView& v = frame.view();
        v.document().settings().fontType = kFontGb2312_16;
        v.document().settings().width = v.document().settings().height = 16;
        v.addCharacters(u"中文A");
        QVERIFY(!frame.action(kCmdNetworkSelected)->isEnabled()); // nothing selected
        v.list().select(1, ESelect::Replace);
        emit v.stateChanged(); // as the view's own selection commands do
        QVERIFY(frame.action(kCmdNetworkSelected)->isEnabled());
        QMessageBox::StandardButton answer = QMessageBox::Yes; // with the index
        setMessageHook([&](QMessageBox::Icon, const QString&, const QString& text,
                           QMessageBox::StandardButtons) {
            messages << text;
            return answer;
        });
        std::vector<uint8_t> sent;
        QString size;
        QTimer::singleShot(0, [&] {
            std::function<void()> look = [&] {
                auto* d = qobject_cast<CNetworkDialog*>(QApplication::activeModalWidget());
                if (!d)
                    return QTimer::singleShot(10, look);
                sent.assign(d->data().begin(), d->data().end());
                size = d->dataSizeLabel()->text();
                d->reject();
            };
            look();
        });
        frame.action(kCmdNetworkSelected)->trigger();
        QVERIFY(messages.first().startsWith("传输的数据是否需要包含字模索引表？"));
        QCOMPARE(sent.size(), size_t(4 + 10 + 32));
        QCOMPARE(size, QString("点阵数据共46字节"));
        QCOMPARE(int(sent[4]), 0xCE); // 文
        QCOMPARE(int(sent[5]), 0xC4);
        // Cancel at the question sends nothing.
        answer = QMessageBox::Cancel;
        sent.clear();
        frame.action(kCmdNetworkAll)->trigger();
        QVERIFY(sent.empty());
    }

    void picturesFollowTheThreshold() {
        QTemporaryDir dir;
        const QString path = dir.filePath("logo.BMP");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bmp(5, 3, 200));
        }
        CMainFrame frame;
        CQxView& v = frame.view();
        v.document().settings().threshold = 184;
        nextFile = path;
        frame.action(kCmdAddPicture)->trigger();
        QCOMPARE(v.list().size(), size_t(1));
        CGlyphEntry& e = v.list().at(0);
        QCOMPARE(e.width(), 5);
        QCOMPARE(e.height(), 3);
        QCOMPARE(e.litCount(), 15); // 200 and 255 are both ≥ 184

        frame.action(kCmdAddPicture)->trigger(); // the same file again: refused
        QCOMPARE(messages,
                 QStringList{"Tessaglyphworks 提示|重复过滤功能已开启，不能重复添加同一图片！"});

        // A higher threshold applies to the selected picture entries.
        v.list().selectAll();
        whenShown<CThresholdDialog>([](CThresholdDialog* d) { d->setThreshold(250); });
        frame.action(kCmdThreshold)->trigger();
        QCOMPARE(v.document().settings().threshold, uint8_t(250));
        QCOMPARE(static_cast<CPictureEntry&>(e).threshold(), uint8_t(250));
        QVERIFY(e.ensureRendered());
        QCOMPARE(e.litCount(), 1); // only the white pixel
        QVERIFY(e.matrix().lit(0, 0));

        // Inverted and stretched to the matrix size; a picture added next takes the choice.
        v.document().settings().width = 10;
        v.document().settings().height = 6;
        whenShown<CThresholdDialog>([](CThresholdDialog* d) {
            d->setThreshold(50);
            d->invertCheck()->setChecked(true);
            d->scaleBox()->setCurrentIndex(int(EPictureScale::kFill));
        });
        frame.action(kCmdThreshold)->trigger();
        QVERIFY(e.ensureRendered());
        QCOMPARE(e.width(), 10);
        QCOMPARE(e.height(), 6);
        QVERIFY(!e.matrix().lit(0, 0)); // the white pixel's corner is dark, the grey lit
        QVERIFY(e.matrix().lit(5, 9));
        QCOMPARE(v.document().settings().pictureScale, EPictureScale::kFill);
        const QString other = path + ".bmp";
        QVERIFY(QFile::copy(path, other));
        nextFile = other;
        frame.action(kCmdAddPicture)->trigger();
        QCOMPARE(static_cast<CPictureEntry&>(v.list().at(1)).options(),
                 static_cast<CPictureEntry&>(e).options());
    }

    // Saving a picture entry whose file name is not UTF-8 (the file system's bytes, kept as
    // they are) warns that the project cannot keep the name; the file is saved all the same.
    void savingWarnsOfNamesThatAreNotText() {
        QTemporaryDir dir;
        const std::string name = QFile::encodeName(dir.path()).toStdString() + "/\xff\xfe.bmp";
        {
            std::ofstream f(name, std::ios::binary);
            const QByteArray b = bmp(5, 3, 200);
            f.write(b.data(), b.size());
        }
        CMainFrame frame;
        CQxView& v = frame.view();
        v.addEntry(std::make_unique<CPictureEntry>(v.rasteriser(), fileNameToText(name), 184));
        CGlyphEntry& e = v.list().at(0);
        QVERIFY(e.ensureRendered());
        QCOMPARE(e.width(), 5); // the file itself, not the "Image Invalid" text
        QCOMPARE(e.litCount(), 15);

        messages.clear();
        nextFile = dir.filePath("p.tgx");
        frame.action(kCmdSaveAs)->trigger();
        QVERIFY(QFileInfo::exists(dir.filePath("p.tgx")));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.front().contains("第 1 项的文件名"), qPrintable(messages.front()));
    }
};

QTEST_MAIN(AddEntriesTest)
#include "add_entries_test.moc"
