// Post files planted to make the program read elsewhere, wait forever or fill its memory: such a
// post is skipped and kept like a damaged one, with a message naming its file and why, and the
// good posts still go.
#include "TestSupport.h"
#include "service/FakeService.h"

#include "manage/frmPostManager.h"
#include "service/frmSender.h"
#include "store/modStorage.h"
#include "widgets/FileListBox.h"
#include "widgets/PicturePreview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Longer than any run here takes, shorter than the test's own time limit.
constexpr qint64 kBoundMs = 20000;

// Lets a reader stuck opening the pipe go once the bound has passed, so a run that waits on
// it fails the bound instead of hanging the test.
class PipeRelease final {
public:
    explicit PipeRelease(const QString& pipe)
        : m_thread([this, path = QFile::encodeName(pipe)] {
              const auto due =
                  std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs + 5000);
              while (!m_stop) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  if (std::chrono::steady_clock::now() < due)
                      continue;
                  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (fd >= 0)
                      ::close(fd);
              }
          }) {}
    ~PipeRelease() {
        m_stop = true;
        m_thread.join();
    }
    PipeRelease(const PipeRelease&) = delete;
    PipeRelease& operator=(const PipeRelease&) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// A refused file: the name under the data folder and the reason the message must give.
struct Refused {
    QString file;
    QString why;
};

} // namespace

class tst_HostileDataFolder : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_service;
    QString m_outsideInfo;
    QString m_outsidePicture;

    QString Data(const QString& name) const {
        return m_home.DataFolder() + QLatin1Char('/') + name;
    }
    bool Link(const QString& target, const QString& name) const {
        return QFile::link(target, Data(name));
    }
    bool Pipe(const QString& name) const {
        return ::mkfifo(QFile::encodeName(Data(name)).constData(), 0600) == 0;
    }
    // Every post file in the folder, pipes and links to devices too.
    QStringList Stored() const {
        QStringList names =
            FolderFiles(m_home.DataFolder(), {"*.Info", "*.Picture"}, QDir::Files | QDir::System);
        names.sort();
        return names;
    }
    // Some message's details name the refused file and the reason.
    void VerifyTold(const QList<Refused>& refused) const {
        for (const Refused& file : refused) {
            const QString named = QLatin1Char('"') + Data(file.file) + "\": it is " + file.why;
            const QList<MessageRequest>& shown = m_messages.Shown();
            QVERIFY2(
                std::any_of(shown.cbegin(), shown.cend(),
                            [&](const MessageRequest& box) { return box.details.contains(named); }),
                qPrintable(named));
        }
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_service.Started());
        m_service.UseAsApi();
        // Real files outside the folder, which a link would lead to.
        QDir().mkpath(m_home.Path() + "/outside");
        m_outsideInfo = m_home.Path() + "/outside/info";
        WriteFile(m_outsideInfo, "outside\r\nOUTSIDE\r\nOUTSIDE caption");
        m_outsidePicture = m_home.Path() + "/outside/picture.png";
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(m_outsidePicture, "PNG"));
        WriteFile(m_outsidePicture, ReadFile(m_outsidePicture) + "OUTSIDE");
    }
    void init() {
        QDir(m_home.DataFolder()).removeRecursively();
        QDir().mkpath(m_home.DataFolder());
        m_service.Script({});
        m_messages.Clear();
    }

    void sendRunSkipsAndKeepsPlantedPosts() {
        const QString good = m_home.Path() + "/good.jpg";
        WriteFile(good, RandomBytes(1000, 1));
        for (int i = 0; i < 2; ++i)
            QVERIFY(SavePost(NewPost("g", QStringLiteral("caption %1").arg(i), "tags", good)));
        const QByteArray info = "g\r\ntags\r\ncaption";
        QVERIFY(Link(m_outsideInfo, "info link.Info"));
        WriteFile(Data("info link.Picture"), RandomBytes(1000, 2));
        WriteFile(Data("picture link.Info"), info);
        QVERIFY(Link(m_outsidePicture, "picture link.Picture"));
        WriteFile(Data("pipe.Info"), info);
        QVERIFY(Pipe("pipe.Picture"));
        WriteFile(Data("zero.Info"), info);
        QVERIFY(Link("/dev/zero", "zero.Picture"));
        WriteFile(Data("sparse.Info"), info);
        QFile sparse(Data("sparse.Picture"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(kMaxPictureBytes + 1));
        sparse.close();
        QStringList planted = {
            "info link.Info", "info link.Picture", "picture link.Info", "picture link.Picture",
            "pipe.Info",      "pipe.Picture",      "zero.Info",         "zero.Picture",
            "sparse.Info",    "sparse.Picture"};
        planted.sort();
        QCOMPARE(Stored().size(), planted.size() + 4);

        frmSender window;
        Control<QLineEdit>(window, "txtEMail")->setText("me@example.org");
        Control<QLineEdit>(window, "txtPassword")->setText("secret");
        const PipeRelease release(Data("pipe.Picture"));
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QVERIFY(timer.elapsed() < kBoundMs);
        QVERIFY(!window.Busy());

        // The good posts went out and are gone; every planted file is still there.
        QCOMPARE(Stored(), planted);
        const QJsonArray requests = m_service.Requests();
        QCOMPARE(requests.size(), 2);
        for (const QJsonValue& request : requests) {
            for (const FakeService::Field& field : FakeService::Fields(request.toObject())) {
                QVERIFY2(!field.Value.contains("OUTSIDE"), qPrintable(field.Name));
                QVERIFY2(field.Value.size() < kMaxPictureBytes, qPrintable(field.Name));
            }
        }
        QCOMPARE(m_messages.Texts(), QStringList(5, "Can't load post files."));
        VerifyTold({{"info link.Info", "a symbolic link."},
                    {"picture link.Picture", "a symbolic link."},
                    {"pipe.Picture", "not a regular file."},
                    {"zero.Picture", "a symbolic link."},
                    {"sparse.Picture", "larger than 10 MB."}});
    }

    void previewReadsNothingOutsideAndNeverWaits() {
        QVERIFY(QFile::copy(m_outsidePicture, Data("pipe.Picture")));
        WriteFile(Data("pipe.Info"), "g\r\ntags\r\ncaption");
        QVERIFY(Link(m_outsidePicture, "link.Picture"));
        QVERIFY(Link(m_outsideInfo, "link.Info"));
        frmPostManager w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* filFiles = Control<FileListBox>(w, "filFiles");
        QCOMPARE(filFiles->count(), 2);

        filFiles->setFocus();
        filFiles->setCurrentRow(0);
        QTest::keyClick(filFiles, Qt::Key_Return);
        QVERIFY(w.PreviewPicture().isNull());
        QVERIFY(!Control<QLabel>(w, "lblInfo")->isVisible());
        QVERIFY(!Control<QLabel>(w, "lblInfo")->text().contains("OUTSIDE"));
        QCOMPARE(m_messages.Texts(),
                 QStringList({Data("link.Picture") + "\r\n\r\nCan't load picture file.",
                              "Can't load post files."}));
        VerifyTold({{"link.Picture", "a symbolic link."}, {"link.Info", "a symbolic link."}});
        m_messages.Clear();

        // Listed as a picture, the file became a pipe before the preview.
        QVERIFY(QFile::remove(Data("pipe.Picture")));
        QVERIFY(Pipe("pipe.Picture"));
        const PipeRelease release(Data("pipe.Picture"));
        QTest::keyClick(Control<PicturePreview>(w, "picPreview"), Qt::Key_Escape);
        filFiles->setCurrentRow(1);
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(filFiles, Qt::Key_Return);
        QVERIFY(timer.elapsed() < kBoundMs);
        QVERIFY(w.PreviewPicture().isNull());
        QCOMPARE(m_messages.Texts(),
                 QStringList(Data("pipe.Picture") + "\r\n\r\nCan't load picture file."));
        VerifyTold({{"pipe.Picture", "not a regular file."}});
    }
};

QTEST_MAIN(tst_HostileDataFolder)
#include "tst_HostileDataFolder.moc"
