// Writing a file safely: the messages of a failed save, and the previous file left whole.
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "support/window_test_support.h"
#include "windows/safe_file.h"

using morvik::testing::ReadAll;

class SafeFileTest : public QObject {
    Q_OBJECT
  private slots:
    void writesAndReplaces() {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.txt");
        QCOMPARE(morvik::WriteFileSafely(path, "first\r\n"), QString());
        QFile::setPermissions(
            path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QCOMPARE(morvik::WriteFileSafely(path, "second\r\n"), QString());
        QCOMPARE(ReadAll(path), QByteArray("second\r\n"));
        // The replaced file keeps its permissions.
        QCOMPARE(QFile::permissions(path) &
                     ~QFileDevice::Permissions(0x0F00),  // without the "user" bits
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"out.txt"}));
    }

    void failures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "no-such-folder/out.txt"
                                        << "No such file or directory";
        QTest::newRow("name too long") << QString(300, QLatin1Char('n')) << "File name too long";
    }

    void failures() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QCOMPARE(morvik::WriteFileSafely(path, "text"),
                 QStringLiteral("Cannot create file \"%1\". %2.").arg(path, reason));
        QVERIFY(!QFile::exists(path));
    }

    void readOnlyTargetIsRefused() {
        QTemporaryDir dir;
        const QString path = dir.filePath("readonly.txt");
        QCOMPARE(morvik::WriteFileSafely(path, "keep me"), QString());
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        QCOMPARE(morvik::WriteFileSafely(path, "replaced"),
                 QStringLiteral("Cannot create file \"%1\". Permission denied.").arg(path));
        QCOMPARE(ReadAll(path), QByteArray("keep me"));
    }

    // A write that fails half-way (the file size limit stands in for a full disk).
    void failedWriteLeavesThePreviousFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.txt");
        QCOMPARE(morvik::WriteFileSafely(path, "previous contents\n"), QString());
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{64, old.rlim_max};
        signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const QString message = morvik::WriteFileSafely(path, QByteArray(1000, 'x'));
        setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(message, QStringLiteral("Stream write error."));
        QCOMPARE(ReadAll(path), QByteArray("previous contents\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"kept.txt"}));
    }
};

QTEST_MAIN(SafeFileTest)
#include "tst_safe_file.moc"
