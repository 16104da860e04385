// Every way of ending a program ends its process with a clean exit: the programs' own entry,
// built with a driver that plays the user (ExitDriver.cpp), runs to its end in a child
// process under the C locale, static teardown included. Ended by a signal while it writes the
// hand-off file, a program leaves the old file and no temporary one.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

enum class THandOff { Kept, Gone, Written };

struct TExitCase {
    const char* Program;
    const char* Scenario;
    THandOff HandOff;
    int ExitCode = 0; // negative: ended by that signal
};

constexpr int Killed = -SIGTERM;

const TExitCase Cases[] = {
    {"morvane", "execute", THandOff::Written},     {"morvane", "mapping-cancel", THandOff::Gone},
    {"morvane", "bottom-cancel", THandOff::Gone},  {"morvane", "close-box", THandOff::Kept},
    {"morvane", "dialog-cancel", THandOff::Gone},  {"morvane", "empty-file", THandOff::Kept},
    {"morvane", "form-fails", THandOff::Kept, 1},  {"pellisk", "execute", THandOff::Written},
    {"pellisk", "mapping-cancel", THandOff::Kept}, {"pellisk", "bottom-cancel", THandOff::Gone},
    {"pellisk", "close-box", THandOff::Kept},      {"pellisk", "dialog-cancel", THandOff::Kept},
    {"pellisk", "empty-file", THandOff::Kept},     {"pellisk", "form-fails", THandOff::Kept, 1},
    {"morvane", "killed", THandOff::Kept, Killed}, {"pellisk", "killed", THandOff::Kept, Killed},
};

QByteArray ReadFile(const QString& Path) {
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

void WriteFile(const QString& Path, const QByteArray& Bytes) {
    QFile F(Path);
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(Bytes);
}

TEST(ExitTest, EveryWayOfEndingAProgramEndsItsProcessCleanly) {
    for (const TExitCase& C : Cases) {
        SCOPED_TRACE(std::string(C.Program) + " " + C.Scenario);
        QTemporaryDir Dir;
        const QString HandOff = Dir.filePath("csv_inport.tmp");
        const QString Source = Dir.filePath("source.csv");
        WriteFile(HandOff, "old");
        WriteFile(Source, QByteArray(C.Scenario) == "empty-file" ? "" : "a\r\n");

        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert("QT_QPA_PLATFORM", "offscreen");
        Env.insert("LC_ALL", "C.UTF-8");
        Env.insert("QUOVANT_PROBE_SCENARIO", C.Scenario);
        Env.insert("QUOVANT_PROBE_DIR", Dir.path());
        Env.insert("QUOVANT_PROBE_SOURCE", Source);
        QProcess Program;
        Program.setProcessEnvironment(Env);
        Program.start(QString(QUOVANT_PROBES "/%1_probe").arg(C.Program), {});
        ASSERT_TRUE(Program.waitForFinished(60000)) << "the program did not end";
        const QByteArray Out = Program.readAllStandardOutput();
        const QByteArray Err = Program.readAllStandardError();

        EXPECT_EQ(Program.exitStatus(), C.ExitCode < 0 ? QProcess::CrashExit : QProcess::NormalExit)
            << Err.toStdString();
        EXPECT_EQ(Program.exitCode(), std::abs(C.ExitCode)) << Err.toStdString();
        EXPECT_FALSE(Err.contains("Sanitizer") || Err.contains("runtime error"))
            << Err.toStdString();
        EXPECT_EQ(QDir(Dir.path()).entryList({"*.part"}, QDir::Files), QStringList());
        const QByteArray Left = ReadFile(HandOff);
        switch (C.HandOff) {
        case THandOff::Kept:
            EXPECT_EQ(Left, "old");
            break;
        case THandOff::Gone:
            EXPECT_FALSE(QFile::exists(HandOff));
            break;
        case THandOff::Written:
            EXPECT_TRUE(Left.startsWith("a;")) << Left.toStdString();
            break;
        }
        if (C.ExitCode > 0) {
            EXPECT_TRUE(Out.contains("message: ") && Out.contains(".dfm")) << Out.toStdString();
        } else if (C.ExitCode == 0) {
            // The toolkit speaks Japanese though the locale is C.
            EXPECT_TRUE(Out.startsWith("dialog: 開く")) << Out.toStdString();
        }
    }
}

} // namespace
