// The modal-window driver on Qt: a timer polls for the application's modal widget and answers
// it from inside its modal loop; child programs run through QProcess, times and memory come
// from the system's account of the process.
#include "TestDriver.h"

#include "QtHost.h"
#include "QtTestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TestDriver {

namespace {

constexpr int PollInterval = 5;
constexpr int SelectTimeout = 5000;

// Runs Answer on the next modal widget of type W as soon as it shows. The timer belongs to the
// application, so one whose window never came goes with it.
template <class W> void WhenModal(std::function<void(W*)> Answer) {
    auto* Poll = new QTimer(QCoreApplication::instance());
    Poll->setInterval(PollInterval);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Answer = std::move(Answer)] {
        if (auto* Window = qobject_cast<W*>(QApplication::activeModalWidget())) {
            Poll->stop();
            Poll->deleteLater();
            Answer(Window);
        }
    });
    Poll->start();
}

QFileDialog* ShownOpenDialog() {
    return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
}

QLineEdit* NameField() {
    QFileDialog* Dialog = ShownOpenDialog();
    return Dialog ? Dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
}

// The row of the file list that shows Name once the list holds it and has sorted itself (the
// folder is read and sorted in the background); an invalid index before.
QModelIndex SortedItemNamed(const QAbstractItemView* List, const QString& Name) {
    const QAbstractItemModel* Model = List->model();
    QModelIndex Found;
    QString Before;
    for (int Row = 0; Row < Model->rowCount(List->rootIndex()); ++Row) {
        const QModelIndex Item = Model->index(Row, 0, List->rootIndex());
        const QString Text = Item.data().toString();
        if (Text.compare(Before, Qt::CaseInsensitive) < 0)
            return {};
        if (Text == Name)
            Found = Item;
        Before = Text;
    }
    return Found;
}

QMessageBox::StandardButton StandardButtonOf(int Button) {
    switch (Button) {
    case IDCANCEL:
        return QMessageBox::Cancel;
    case IDYES:
        return QMessageBox::Yes;
    case IDNO:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

} // namespace

void AnswerOpenDialog(const AnsiString& Path, std::function<void()> Inside) {
    WhenModal<QFileDialog>([Path, Inside = std::move(Inside)](QFileDialog* Dialog) {
        if (Inside)
            Inside();
        if (Path.empty()) {
            Dialog->reject();
            return;
        }
        TypeInOpenDialog(Path);
        ConfirmOpenDialog();
    });
}

void TypeInOpenDialog(const AnsiString& Name) {
    if (QLineEdit* Edit = NameField())
        Edit->setText(QtText::Decode(Name));
}

void TypeInOpenDialog(const std::u16string& Name) {
    if (QLineEdit* Edit = NameField())
        Edit->setText(QString::fromStdU16String(Name));
}

AnsiString OpenDialogNameText() {
    const QLineEdit* Edit = NameField();
    return Edit ? QtText::Encode(Edit->text()) : AnsiString();
}

void ConfirmOpenDialog() {
    if (QLineEdit* Edit = NameField())
        QTest::keyClick(Edit, Qt::Key_Return);
}

bool SelectInOpenDialog(const AnsiString& Path) {
    QFileDialog* Dialog = ShownOpenDialog();
    if (!Dialog)
        return false;
    const QFileInfo File(QtText::Decode(Path));
    Dialog->setDirectory(File.absolutePath());
    // The dialog opens in detail view: the tree is the list the user sees.
    auto* List = Dialog->findChild<QAbstractItemView*>(QStringLiteral("treeView"));
    QModelIndex Item;
    if (!List ||
        !QTest::qWaitFor([&] { return (Item = SortedItemNamed(List, File.fileName())).isValid(); },
                         SelectTimeout))
        return false;
    List->scrollTo(Item);
    QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualRect(Item).center());
    return true;
}

void SendOpenDialogSelection(const AnsiString& Path) {
    if (QFileDialog* Dialog = ShownOpenDialog())
        emit Dialog->currentChanged(QtText::Decode(Path));
}

AnsiString OpenDialogConfirmText() {
    const QFileDialog* Dialog = ShownOpenDialog();
    const auto* Buttons =
        Dialog ? Dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")) : nullptr;
    const QPushButton* Open = Buttons ? Buttons->button(QDialogButtonBox::Open) : nullptr;
    return Open ? QtText::Encode(Open->text()) : AnsiString();
}

TRect OpenDialogFrame() {
    const QFileDialog* Dialog = ShownOpenDialog();
    return Dialog ? FromQRect(Dialog->frameGeometry()) : TRect{};
}

std::unique_ptr<TBitmap> OpenDialogImage() {
    QFileDialog* Dialog = ShownOpenDialog();
    return Dialog ? TestSupport::Grab(Dialog) : nullptr;
}

void AnswerMessageBox(std::function<void(const AnsiString& Text)> Inside, int Button) {
    WhenModal<QMessageBox>([Inside = std::move(Inside), Button](QMessageBox* Box) {
        if (Inside)
            Inside(QtText::Encode(Box->text()));
        if (QAbstractButton* Chosen = Box->button(StandardButtonOf(Button)))
            Chosen->click();
        else
            Box->reject();
    });
}

void AnswerMessageBox(AnsiString* Seen, int Button) {
    AnswerMessageBox([Seen](const AnsiString& Text) { *Seen = Text; }, Button);
}

bool ModalWindowShown() {
    return QApplication::activeModalWidget() != nullptr;
}

void CloseModalWindow() {
    if (QWidget* Modal = QApplication::activeModalWidget())
        Modal->close();
}

void Repeat(int Milliseconds, std::function<void()> Tick) {
    auto* Timer = new QTimer(QCoreApplication::instance());
    Timer->setInterval(Milliseconds);
    QObject::connect(Timer, &QTimer::timeout, std::move(Tick));
    Timer->start();
}

TAtStart::TAtStart(void (*Start)()) {
    qAddPreRoutine(Start);
}

bool MakePipe(const AnsiString& Path) {
    return ::mkfifo(Path.c_str(), 0600) == 0;
}

AnsiString EndlessDevice() {
    return "/dev/zero";
}

AnsiString FullDevice() {
    return "/dev/full";
}

// The kernel refuses reads at the unmapped addresses where a read from the start lands.
AnsiString UnreadableFile() {
    return "/proc/self/mem";
}

// The lock a writer takes on its temporary file, which the system drops when it ends.
THeldFile::THeldFile(const AnsiString& Path)
    : FHandle(::open(Path.c_str(), O_RDONLY | O_CLOEXEC)),
      FHeld(FHandle >= 0 && ::flock(static_cast<int>(FHandle), LOCK_EX) == 0) {}

THeldFile::~THeldFile() {
    if (FHandle >= 0)
        ::close(static_cast<int>(FHandle));
}

void RequestEnd() {
    std::raise(SIGTERM);
}

int EndRequestCode() {
    return SIGTERM;
}

double ProcessCpuMs() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    const auto Ms = [](const timeval& T) {
        return double(T.tv_sec) * 1e3 + double(T.tv_usec) / 1e3;
    };
    return Ms(Usage.ru_utime) + Ms(Usage.ru_stime);
}

long PeakResidentKB() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return Usage.ru_maxrss;
}

TProgramEnd RunProgram(const AnsiString& Program, const std::vector<std::string>& Arguments,
                       const std::vector<std::pair<std::string, std::string>>& Environment,
                       int TimeoutMs) {
    QProcessEnvironment Variables = QProcessEnvironment::systemEnvironment();
    Variables.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const auto& [Name, Value] : Environment)
        Variables.insert(QString::fromStdString(Name), QString::fromStdString(Value));
    QStringList List;
    for (const std::string& Argument : Arguments)
        List.append(QtText::Decode(Argument));
    QProcess Child;
    Child.setProcessEnvironment(Variables);
    Child.start(QtText::Decode(Program), List);
    Child.closeWriteChannel();
    TProgramEnd End;
    End.Finished = Child.waitForFinished(TimeoutMs);
    if (!End.Finished) {
        Child.kill();
        Child.waitForFinished();
    }
    End.Crashed = Child.exitStatus() == QProcess::CrashExit;
    End.ExitCode = Child.exitCode();
    End.Out = Child.readAllStandardOutput().toStdString();
    End.Err = Child.readAllStandardError().toStdString();
    return End;
}

} // namespace TestDriver
