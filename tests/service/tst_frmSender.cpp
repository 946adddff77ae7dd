#include "FakeService.h"
#include "SessionBus.h"
#include "TestSupport.h"

#include "components/SettingsStore.h"
#include "components/modPasswordCryptor.h"
#include "service/frmSender.h"
#include "service/modUploadApi.h"
#include "store/SendLock.h"
#include "store/modStorage.h"
#include "widgets/FileListBox.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>

class tst_frmSender : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_service;
    FakeService m_api{QStringLiteral(MARIVANE_FAKE_API)};
    PrivateSessionBus m_bus;

    QString PictureFile(qsizetype size) {
        const QString path = m_home.Path() + QStringLiteral("/picture-%1.jpg").arg(size);
        if (!QFile::exists(path))
            WriteFile(path, QByteArray(size, '\xd8'));
        return path;
    }
    void MakePosts(int count, qsizetype size = 1000) {
        for (int i = 0; i < count; ++i)
            QVERIFY(
                SavePost(NewPost(QStringLiteral("g%1").arg(i), QStringLiteral("caption %1").arg(i),
                                 QStringLiteral("tags"), PictureFile(size), QString())));
    }
    QStringList Stored() { return m_home.DataFiles({"*.Info", "*.Picture"}); }
    static void FillAccount(frmSender& window) {
        Control<QLineEdit>(window, "txtEMail")->setText(QStringLiteral("me@example.org"));
        Control<QLineEdit>(window, "txtPassword")->setText(QStringLiteral("secret"));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_service.Started());
        m_service.UseAsApi();
        QVERIFY2(m_bus.Start(), "dbus-daemon is needed for this test");
        QGuiApplication::setDesktopFileName(QStringLiteral("com.velmora.Marivane"));
    }
    void init() {
        QDir(m_home.DataFolder()).removeRecursively();
        QFile::remove(SettingsStore::FileName());
        m_service.Script({});
        m_messages.Clear();
    }

    void sendEnabledOnlyWithPostsAndAccount_data() {
        QTest::addColumn<int>("posts");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("no posts") << 0 << "a@b"
                                  << "pw" << false;
        QTest::newRow("no e-mail") << 2 << ""
                                   << "pw" << false;
        QTest::newRow("no password") << 2 << "a@b"
                                     << "" << false;
        QTest::newRow("ready") << 2 << "a@b"
                               << "pw" << true;
    }
    void sendEnabledOnlyWithPostsAndAccount() {
        QFETCH(int, posts);
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(bool, enabled);
        MakePosts(posts);
        frmSender window;
        Control<QLineEdit>(window, "txtEMail")->setText(email);
        Control<QLineEdit>(window, "txtPassword")->setText(password);
        QCOMPARE(Control<QPushButton>(window, "cmdSendPosts")->isEnabled(), enabled);
        QVERIFY(!Control<QPushButton>(window, "cmdStop")->isEnabled());
        QCOMPARE(window.windowTitle(), QStringLiteral("Marivane :: Send mode :: %1").arg(posts));
    }

    void publishOnShownBesideNarrowList() {
        frmSender window;
        auto* cboPostState = Control<QComboBox>(window, "cboPostState");
        QCOMPARE(cboPostState->count(), 6);
        QCOMPARE(cboPostState->itemText(2), QStringLiteral("Publish on..."));
        auto* txtPublishOn = Control<QLineEdit>(window, "txtPublishOn");
        QVERIFY(txtPublishOn->isHidden());
        cboPostState->setCurrentIndex(2);
        QVERIFY(!txtPublishOn->isHidden());
        QCOMPARE(cboPostState->width(), 125);
        QCOMPARE(txtPublishOn->y(), cboPostState->y());
        cboPostState->setCurrentIndex(5);
        QVERIFY(txtPublishOn->isHidden());
        QCOMPARE(cboPostState->width(), 297);
    }

    void settingsKeptWithPasswordScrambled() {
        {
            frmSender window;
            FillAccount(window);
            Control<QLineEdit>(window, "txtPublishOn")->setText(QStringLiteral("tomorrow 10:00"));
            Control<QComboBox>(window, "cboPostState")->setCurrentIndex(2);
            QVERIFY(window.close());
        }
        SettingsStore store;
        const QString stored = store.GetText(QStringLiteral("Password"));
        QVERIFY(!stored.contains(QStringLiteral("secret")));
        QCOMPARE(DecryptPassword(stored), QStringLiteral("secret"));
        frmSender window;
        QCOMPARE(Control<QLineEdit>(window, "txtEMail")->text(), QStringLiteral("me@example.org"));
        QCOMPARE(Control<QLineEdit>(window, "txtPassword")->text(), QStringLiteral("secret"));
        QCOMPARE(Control<QLineEdit>(window, "txtPublishOn")->text(),
                 QStringLiteral("tomorrow 10:00"));
        QCOMPARE(Control<QComboBox>(window, "cboPostState")->currentIndex(), 2);
        QVERIFY(!Control<QLineEdit>(window, "txtPublishOn")->isHidden());
    }

    void storedStateOutsideListKeepsFirst() {
        SettingsStore().SaveLong(QStringLiteral("Last State Index"), 17);
        frmSender window;
        QCOMPARE(Control<QComboBox>(window, "cboPostState")->currentIndex(), 0);
    }

    void runThatEmptiesTheList() {
        MakePosts(2);
        m_service.Script({FakeService::Answer(201, "11"), FakeService::Answer(201, "12")});
        frmSender window;
        FillAccount(window);
        Control<QComboBox>(window, "cboPostState")->setCurrentIndex(3);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QVERIFY(Stored().isEmpty());
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("All done ^_^v")});
        QCOMPARE(ReadFile(m_home.DataFolder() + "/Links.LST"),
                 QByteArray("http://g0/post/11\r\nhttp://g1/post/12\r\n"));
        const QJsonArray requests = m_service.Requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(FakeService::Fields(requests.at(1).toObject()).last().Value, QByteArray("draft"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Marivane :: Send mode :: 0"));
        QVERIFY(window.close());
        QVERIFY(ReadFile(m_home.DataFolder() + "/EMail History.DAT").contains("me@example.org"));
    }

    // A post the service created but gave no id for is gone from the folder, has no made-up
    // link, and the run says which it was.
    void postSentWithoutAnIdIsNamed() {
        MakePosts(2);
        const QString first = Stored().first();
        m_service.Script({FakeService::Answer(201, "<p>ok</p>"), FakeService::Answer(201, "12")});
        frmSender window;
        FillAccount(window);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QVERIFY(Stored().isEmpty());
        QCOMPARE(m_messages.Texts().size(), 2);
        QVERIFY(m_messages.Texts().first().endsWith(first.left(first.indexOf(u'.')) +
                                                    QStringLiteral(".Info")));
        QCOMPARE(m_messages.Texts().last(), QStringLiteral("All done ^_^v"));
        QCOMPARE(ReadFile(m_home.DataFolder() + "/Links.LST"), QByteArray("http://g1/post/12\r\n"));
    }

    // What a server says is never taken for markup in the real box.
    void answerShownAsPlainText() {
        MakePosts(1);
        m_service.Script({FakeService::Answer(200, "<b>Fine</b>")});
        frmSender window;
        FillAccount(window);
        const Messages::Handler recorder = Messages::SetHandler({});
        InstallMessageBoxes();
        QStringList texts;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &window, [&texts] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (!box || !box->isVisible())
                    continue;
                for (QLabel* label : box->findChildren<QLabel*>()) {
                    if (!label->text().isEmpty() && label->textFormat() != Qt::PlainText)
                        texts.append(QStringLiteral("not plain: ") + label->text());
                    texts.append(label->text());
                }
                box->done(QMessageBox::Ok);
            }
        });
        poll.start(50);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        Messages::SetHandler(recorder);
        QVERIFY2(texts.join(u' ').contains(QStringLiteral("<b>Fine</b>")) &&
                     !texts.join(u' ').contains(QStringLiteral("not plain")),
                 qPrintable(texts.join(u' ')));
    }

    void runStopsAtFirstRefusal() {
        MakePosts(3);
        const QStringList before = Stored();
        m_service.Script({FakeService::Answer(201, "1"), FakeService::Answer(400, "Nope")});
        frmSender window;
        FillAccount(window);
        auto* cmdSendPosts = Control<QPushButton>(window, "cmdSendPosts");
        QTest::mouseClick(cmdSendPosts, Qt::LeftButton);
        QCOMPARE(Stored(), before.mid(2)); // first pair gone, second and third kept
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't send post. Nope")});
        QCOMPARE(m_service.Requests().size(), 2);
        QCOMPARE(window.windowTitle(), QStringLiteral("Marivane :: Send mode :: 2"));
        QVERIFY(cmdSendPosts->isEnabled());
        QVERIFY(!window.Busy());
    }

    void stopCancelsTheTransfer_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Stop button") << "stop";
        QTest::newRow("close box") << "close";
        QTest::newRow("Esc") << "esc";
    }
    void stopCancelsTheTransfer() {
        QFETCH(QString, how);
        MakePosts(2, kMaxPictureBytes);
        const QStringList before = Stored();
        m_service.Script({}, QJsonObject{{"mode", "slowread"}, {"chunk", 65536}, {"delay", 0.05}});
        frmSender window;
        window.show();
        FillAccount(window);
        bool stayedOpen = false;
        QTimer::singleShot(400, &window, [&] {
            QVERIFY(window.Busy());
            auto* cmdStop = Control<QPushButton>(window, "cmdStop");
            QVERIFY(cmdStop->isEnabled());
            QVERIFY(!Control<QLineEdit>(window, "txtEMail")->isEnabled());
            if (how == "stop")
                QTest::mouseClick(cmdStop, Qt::LeftButton);
            else if (how == "close")
                window.close();
            else
                QTest::keyClick(Control<FileListBox>(window, "filFiles"), Qt::Key_Escape);
            stayedOpen = window.isVisible();
        });
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(stayedOpen);
        QVERIFY(window.isVisible());
        QCOMPARE(Stored(), before);
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't send post.")});
        // The service saw the upload break off, and no second post was tried.
        QTRY_COMPARE(m_service.Requests().size(), 1);
        QCOMPARE(m_service.Requests().first().toObject().value("complete").toBool(), false);
    }

    // Once the service has the whole post, a stop waits for its answer, so an accepted post
    // is deleted and linked; a second stop gives the answer up and the post keeps its marker.
    void stopAfterThePostWentOut_data() {
        QTest::addColumn<int>("stops");
        QTest::newRow("one stop waits") << 1;
        QTest::newRow("second stop gives up") << 2;
    }
    void stopAfterThePostWentOut() {
        QFETCH(int, stops);
        MakePosts(2);
        const QString first = m_home.DataFolder() + QLatin1Char('/') + Stored().first();
        m_service.Script({FakeService::StalledAnswer(201, "42", 1.5)});
        frmSender window;
        FillAccount(window);
        for (int i = 0; i < stops; ++i)
            QTimer::singleShot(500 + 100 * i, &window, [&] {
                QTest::mouseClick(Control<QPushButton>(window, "cmdStop"), Qt::LeftButton);
            });
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QCOMPARE(m_service.Requests().size(), 1);
        QCOMPARE(Control<FileListBox>(window, "filFiles")->count(), stops == 1 ? 1 : 2);
        QCOMPARE(QFile::exists(first), stops != 1);
        QCOMPARE(PostSendingSince(first).has_value(), stops != 1);
        QCOMPARE(ReadFile(m_home.DataFolder() + "/Links.LST"),
                 stops == 1 ? QByteArray("http://g0/post/42\r\n") : QByteArray());
        QCOMPARE(m_messages.Texts(),
                 stops == 1 ? QStringList() : QStringList{QStringLiteral("Can't send post.")});
        QVERIFY(!window.Busy());
    }

    // A post whose last upload got no answer is sent again only when the user says so.
    void unansweredPostAsksFirst_data() {
        QTest::addColumn<MsgResult>("answer");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("left");
        QTest::newRow("Yes sends it") << MsgResult::Yes << 2 << 0;
        QTest::newRow("No skips it") << MsgResult::No << 1 << 1;
        QTest::newRow("Cancel stops") << MsgResult::Cancel << 0 << 2;
    }
    void unansweredPostAsksFirst() {
        QFETCH(MsgResult, answer);
        QFETCH(int, requests);
        QFETCH(int, left);
        MakePosts(2);
        const QString first = m_home.DataFolder() + QLatin1Char('/') + Stored().first();
        MarkPostSending(first);
        frmSender window;
        FillAccount(window);
        m_messages.Answer(answer);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QVERIFY(m_messages.Texts().first().startsWith(
            QStringLiteral("This post may already be on your blog: its last upload ended "
                           "without an answer. Send it again?\r\n\r\nCaption: caption 0\r\n")));
        QCOMPARE(m_messages.Shown().first().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(m_service.Requests().size(), requests);
        QCOMPARE(Control<FileListBox>(window, "filFiles")->count(), left);
        QCOMPARE(m_messages.Texts().contains(QStringLiteral("All done ^_^v")), left == 0);
        if (answer == MsgResult::No)
            QVERIFY(PostSendingSince(first).has_value());
    }

    void damagedPostIsSkipped() {
        MakePosts(2);
        const QString first = m_home.DataFolder() + QLatin1Char('/') + Stored().first();
        WriteFile(first.left(first.lastIndexOf('.')) + QStringLiteral(".Info"), "g0");
        frmSender window;
        FillAccount(window);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't load post files.")});
        QCOMPARE(m_service.Requests().size(), 1);
        QCOMPARE(Control<FileListBox>(window, "filFiles")->count(), 1);
    }

    void folderThatCannotBeListedIsNotAllDone() {
        MakePosts(2);
        const QString moved = m_home.Path() + QStringLiteral("/moved");
        m_service.Script({FakeService::StalledAnswer(201, "1", 1)});
        frmSender window;
        FillAccount(window);
        // The folder goes away during the upload, and a file takes its place.
        QTimer::singleShot(300, &window, [&] {
            QVERIFY(QDir().rename(m_home.DataFolder(), moved));
            WriteFile(m_home.DataFolder(), "not a folder");
        });
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QFile::remove(m_home.DataFolder());
        QDir().rename(moved, m_home.DataFolder());
        QCOMPARE(m_messages.Texts(), QStringList{m_home.DataFolder() +
                                                 QStringLiteral("\r\n\r\nCan't list the posts.")});
        QCOMPARE(m_service.Requests().size(), 1);
    }

    void secondSendRunIsRefused() {
        MakePosts(1);
        SendLock other;
        QVERIFY(other.TryLock(m_home.DataFolder()));
        frmSender window;
        FillAccount(window);
        auto* cmdSendPosts = Control<QPushButton>(window, "cmdSendPosts");
        QTest::mouseClick(cmdSendPosts, Qt::LeftButton);
        QCOMPARE(m_messages.Texts(),
                 QStringList{QStringLiteral("Another copy of the program is sending posts from "
                                            "this data folder. Try again when it has finished.")});
        QCOMPARE(m_service.Requests().size(), 0);
        QCOMPARE(Control<FileListBox>(window, "filFiles")->count(), 1);
        QVERIFY(cmdSendPosts->isEnabled());
    }

    void progressShownWhileSending() {
        MakePosts(1, kMaxPictureBytes);
        MakePosts(1);
        // The first post is read slowly and taken, the second refused.
        m_service.Script(
            {QJsonObject{{"mode", "slowread"}, {"chunk", 1 << 20}, {"delay", 0.05}, {"body", "7"}},
             FakeService::Answer(400, "Nope")});
        LauncherSignals launcher(m_bus.Address());
        QVERIFY(launcher.Listening());
        frmSender window;
        window.show();
        FillAccount(window);
        auto* filFiles = Control<FileListBox>(window, "filFiles");
        const QString first = filFiles->text(0);
        const QString second = filFiles->text(1);
        QStringList shown; // every text the first line showed during the run
        const QAbstractItemModel* model = filFiles->model();
        connect(model, &QAbstractItemModel::dataChanged, this, [&] {
            const QString line = model->index(0, 0).data().toString();
            if (shown.isEmpty() || shown.last() != line)
                shown << line;
        });
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't send post. Nope")});

        // The first post's line counted up while it went out, short of 100% since the bytes
        // handed on may not have reached the service, then waited for the answer, then was
        // itself again.
        const QRegularExpression percent(QRegularExpression::escape(first) +
                                         QStringLiteral(" - (\\d+)%"));
        QList<int> percents;
        for (const QString& line : shown) {
            const QRegularExpressionMatch match = percent.match(line);
            if (!match.hasMatch())
                break;
            percents << match.captured(1).toInt();
        }
        QVERIFY2(percents.size() >= 2, qPrintable(shown.join(QLatin1Char('|'))));
        QVERIFY(std::is_sorted(percents.begin(), percents.end()));
        QVERIFY(percents.first() < 100);
        QVERIFY(percents.last() <= 99);
        QCOMPARE(shown.value(percents.size()), first + QStringLiteral(" - waiting for the answer"));
        QCOMPARE(shown.value(percents.size() + 1), first);
        // The refused post stays, its line as it was.
        QCOMPARE(filFiles->count(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), second);
        QCOMPARE(window.windowTitle(), QStringLiteral("Marivane :: Send mode :: 1"));

        // The task bar entry saw the run go forward, post by post, and then end.
        QTRY_VERIFY(launcher.Ended());
        QVERIFY(
            launcher.ShownInOrder(QStringLiteral("application://com.velmora.Marivane.desktop")));
        const QList<LauncherSignals::Update> shownWhileSending =
            launcher.updates.first(launcher.updates.size() - 1);
        for (const LauncherSignals::Update& update : shownWhileSending) {
            // Two posts at the start: the first one's bytes fill the first half.
            QVERIFY(update.countVisible);
            QVERIFY(update.count == 2 ? update.progress <= 0.5
                                      : update.count == 1 && update.progress >= 0.5);
        }
        QVERIFY(shownWhileSending.first().progress < 0.5);
        QVERIFY(shownWhileSending.last().progress >= 0.5);
        QVERIFY(!launcher.updates.last().countVisible);
    }

    void endOfRunAnnounced_data() {
        QTest::addColumn<bool>("active");
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<QString>("announced"); // empty: nothing
        QTest::newRow("sent, window behind")
            << false << FakeService::Answer(201, "5") << QStringLiteral("1 posts sent, 0 left");
        QTest::newRow("refused, window behind")
            << false << FakeService::Answer(400, "Nope") << QStringLiteral("Can't send post. Nope");
        QTest::newRow("sent, window active") << true << FakeService::Answer(201, "5") << QString();
    }
    void endOfRunAnnounced() {
        QFETCH(bool, active);
        QFETCH(QJsonObject, answer);
        QFETCH(QString, announced);
        MakePosts(1);
        m_service.Script({answer});
        NotificationService notifications(m_bus.Address());
        QVERIFY(notifications.Registered());
        frmSender window;
        window.show();
        QWidget other;
        if (!active) {
            other.show();
            QVERIFY(QTest::qWaitForWindowActive(&other));
        }
        FillAccount(window);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QVERIFY(!Control<QPushButton>(window, "cmdStop")->isEnabled());
        if (announced.isEmpty()) {
            QTest::qWait(200);
            QVERIFY(notifications.shown.isEmpty());
            return;
        }
        QTRY_COMPARE(notifications.shown.size(), 1);
        const NotificationService::Notification& shown = notifications.shown.first();
        QCOMPARE(shown.body, announced);
        QCOMPARE(shown.app, QStringLiteral("Marivane"));
        QCOMPARE(shown.icon, QStringLiteral("com.velmora.Marivane"));
    }

    void sentPostThatCannotBeDeletedStopsTheRun() {
        MakePosts(2);
        const QString first = m_home.DataFolder() + QLatin1Char('/') + Stored().first();
        const QString info = first.left(first.lastIndexOf('.')) + QStringLiteral(".Info");
        QJsonObject answer = FakeService::Answer(201, "5");
        answer["plant_dir"] = info;
        m_service.Script({answer});
        frmSender window;
        FillAccount(window);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        QCOMPARE(m_service.Requests().size(), 1);
        QCOMPARE(m_messages.Texts().size(), 1);
        QVERIFY(m_messages.Texts().first().startsWith(info + QStringLiteral("\r\n\r\n")));
        QCOMPARE(m_messages.Shown().first().icon, MsgIcon::Critical);
        QCOMPARE(Control<FileListBox>(window, "filFiles")->count(), 1);
    }

    void currentApiRunStopsAtALimit() {
        QVERIFY(m_api.Started());
        StoreSignIn(m_api);
        MakePosts(3);
        const QStringList before = Stored();
        const QJsonObject created{{"status", 201},
                                  {"body", QJsonObject{{"response", QJsonObject{{"id", "7"}}}}}};
        m_api.Script({created, QJsonObject{{"status", 429}, {"body", "Limit Exceeded"}}});
        frmSender window;
        auto* txtEMail = Control<QLineEdit>(window, "txtEMail");
        QVERIFY(!txtEMail->isEnabled());
        QVERIFY(!Control<QLineEdit>(window, "txtPassword")->isEnabled());
        QCOMPARE(txtEMail->text(), QStringLiteral("someone"));
        auto* cmdSendPosts = Control<QPushButton>(window, "cmdSendPosts");
        QVERIFY(cmdSendPosts->isEnabled());
        QTest::mouseClick(cmdSendPosts, Qt::LeftButton);
        QCOMPARE(m_messages.Texts(),
                 QStringList{LimitMessage(QStringLiteral("The service's limit of requests has been "
                                                         "reached (too many requests)."),
                                          1)});
        QVERIFY(m_messages.Texts().first().contains(QStringLiteral("Posts sent in this run: 1.")));
        QCOMPARE(Stored(), before.mid(2));
        QCOMPARE(ReadFile(m_home.DataFolder() + "/Links.LST"), QByteArray("http://g0/post/7\r\n"));
        QVERIFY(m_service.Requests().isEmpty()); // nothing went to the classic interface
    }

    // The current API takes only an RFC 3339 time with its offset: the typed time is read,
    // and one that can't be read or has passed stops the run before any upload.
    void currentApiPublishOn_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("problem"); // empty: sent
        QTest::newRow("local time") << "2030-05-01 10:00"
                                    << "";
        QTest::newRow("unreadable") << "1 May, 10am"
                                    << "The time under \"Publish on...\" can't be read";
        QTest::newRow("past")
            << "2001-05-01T10:00:00Z"
            << "The time under \"Publish on...\" (2001-05-01T10:00:00Z) has passed";
    }
    void currentApiPublishOn() {
        QFETCH(QString, typed);
        QFETCH(QString, problem);
        StoreSignIn(m_api);
        m_api.Script({});
        MakePosts(1);
        frmSender window;
        Control<QComboBox>(window, "cboPostState")->setCurrentIndex(2);
        auto* txtPublishOn = Control<QLineEdit>(window, "txtPublishOn");
        QVERIFY(txtPublishOn->toolTip().contains(QStringLiteral("2030-05-01T10:00:00+02:00")));
        txtPublishOn->setText(typed);
        QTest::mouseClick(Control<QPushButton>(window, "cmdSendPosts"), Qt::LeftButton);
        const QJsonArray requests = m_api.Requests();
        if (!problem.isEmpty()) {
            QCOMPARE(m_messages.Texts().size(), 1);
            QVERIFY2(m_messages.Texts().first().startsWith(problem),
                     qPrintable(m_messages.Texts().first()));
            QVERIFY(requests.isEmpty());
            QCOMPARE(Stored().size(), 2);
            return;
        }
        QCOMPARE(requests.size(), 1);
        QVERIFY(!requests.first().toObject().contains("refused"));
        const QDateTime local(QDate(2030, 5, 1), QTime(10, 0), Qt::LocalTime);
        const int offset = local.offsetFromUtc() / 60;
        const QString sent = QStringLiteral("2030-05-01T10:00:00%1%2:%3")
                                 .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                                 .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                                 .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
        const QJsonObject json =
            QJsonDocument::fromJson(FakeService::Fields(requests.first().toObject()).first().Value)
                .object();
        QCOMPARE(json.value("publish_on").toString(), sent);
        QCOMPARE(json.value("state").toString(), QStringLiteral("queue"));
        QVERIFY(Stored().isEmpty());
    }

    // An upload to the current API that got no answer keeps its marker, so the next run
    // asks before it goes out again.
    void currentApiUnansweredPostAsksFirst() {
        QVERIFY(m_api.Started());
        StoreSignIn(m_api);
        MakePosts(2);
        const QString first = m_home.DataFolder() + QLatin1Char('/') + Stored().first();
        m_api.Script({QJsonObject{{"mode", "close_after_body"}}});
        frmSender window;
        auto* cmdSendPosts = Control<QPushButton>(window, "cmdSendPosts");
        QTest::mouseClick(cmdSendPosts, Qt::LeftButton);
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't send post.")});
        QVERIFY(PostSendingSince(first).has_value());
        auto* filFiles = Control<FileListBox>(window, "filFiles");
        QCOMPARE(filFiles->count(), 2);
        m_messages.Clear();
        m_messages.Answer(MsgResult::No);
        QTest::mouseClick(cmdSendPosts, Qt::LeftButton);
        QVERIFY(m_messages.Texts().first().startsWith(
            QStringLiteral("This post may already be on your blog")));
        QCOMPARE(filFiles->count(), 1);
        QVERIFY(QFile::exists(first));
        QCOMPARE(m_api.Requests().size(), 2); // the first post once, the second once
    }
};

QTEST_MAIN(tst_frmSender)
#include "tst_frmSender.moc"
