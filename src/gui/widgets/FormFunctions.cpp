#include "widgets/FormFunctions.h"

#include "app/ProgramVersion.h"
#include "components/AppTitle.h"
#include "components/ComponentError.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCompleter>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace {

FormFunctions::AboutHook& AboutHookRef() {
    static FormFunctions::AboutHook hook;
    return hook;
}

OpenFileDialog::Hook& OpenHookRef() {
    static OpenFileDialog::Hook hook;
    return hook;
}

FolderDialog::Hook& FolderHookRef() {
    static FolderDialog::Hook hook;
    return hook;
}

constexpr char kAttachedMenu[] = "marivaneAttachedMenu";

// "Filter|*.a;*.b|Other|*.*" as the file dialog wants it.
QString ToQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result.join(QStringLiteral(";;"));
}

} // namespace

namespace FormFunctions {

AboutHook SetAboutHook(AboutHook hook) {
    AboutHook previous = AboutHookRef();
    AboutHookRef() = std::move(hook);
    return previous;
}

void AboutBox(QWidget* window, const QString& text, const QString& credit) {
    if (AboutHookRef()) {
        AboutHookRef()(window, credit);
        return;
    }
    QDialog box(window);
    box.setWindowTitle(QStringLiteral("About ") + MakeWindowTitle(QString()));
    auto* layout = new QVBoxLayout(&box);
    auto* icon = new QLabel(&box);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    auto* name = new QLabel(QStringLiteral("<b>") + MakeWindowTitle(QString()) +
                                QStringLiteral("</b><br>Version ") + ProgramVersion() +
                                QStringLiteral("<br>Picture posts, prepared offline."),
                            &box);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    if (!text.isEmpty())
        layout->addWidget(new QLabel(text, &box));
    auto* by = new QLabel(credit, &box);
    by->setAlignment(Qt::AlignCenter);
    layout->addWidget(by);
    auto* ok = new QPushButton(QStringLiteral("Ok"), &box);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    box.exec();
}

void PressButton(QAbstractButton* button) {
    if (button && button->isEnabled())
        button->click();
}

namespace {

// `name` names the picture in the error.
QImage ReadPicture(QImageReader& reader, const QString& name, const QSize& displaySize) {
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (displaySize.isValid() && reader.size().isValid()) {
        // Decoding at the shown size keeps a huge photo from freezing the window.
        const QSize full = reader.size();
        if (full.width() > displaySize.width() || full.height() > displaySize.height())
            reader.setScaledSize(displaySize);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        throw ComponentError(ErrorNumber::FileRead, QStringLiteral("Can't load picture \"") + name +
                                                        QStringLiteral("\": ") +
                                                        reader.errorString());
    }
    return image;
}

} // namespace

QImage LoadPictureFile(const QString& path, const QSize& displaySize) {
    QImageReader reader(path);
    return ReadPicture(reader, path, displaySize);
}

QImage LoadPictureData(const QByteArray& data, const QString& name, const QSize& displaySize) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return ReadPicture(reader, name, displaySize);
}

void SetAutoComplete(QLineEdit* box, int mode) {
    Q_UNUSED(mode);
    auto* model = new QFileSystemModel(box);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    model->setRootPath(QString());
    auto* completer = new QCompleter(model, box);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    box->setCompleter(completer);
}

void AttachTextBox(QWidget* textBox) {
    auto* plain = qobject_cast<QPlainTextEdit*>(textBox);
    if (!plain)
        return;
    plain->setContextMenuPolicy(Qt::CustomContextMenu);
    const QMetaObject::Connection connection = QObject::connect(
        plain, &QWidget::customContextMenuRequested, plain, [plain](const QPoint& at) {
            std::unique_ptr<QMenu> menu(plain->createStandardContextMenu(at));
            menu->addSeparator();
            menu->addAction(QStringLiteral("Copy all"), plain,
                            [plain] { QApplication::clipboard()->setText(plain->toPlainText()); });
            menu->exec(plain->viewport()->mapToGlobal(at));
        });
    plain->setProperty(kAttachedMenu, QVariant::fromValue(connection));
}

void DetachTextBox(QWidget* textBox) {
    const QVariant stored = textBox->property(kAttachedMenu);
    if (stored.canConvert<QMetaObject::Connection>())
        QObject::disconnect(stored.value<QMetaObject::Connection>());
    textBox->setProperty(kAttachedMenu, QVariant());
    textBox->setContextMenuPolicy(Qt::DefaultContextMenu);
}

} // namespace FormFunctions

QString GetClipboardText() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data)
        return {};
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
        return data->urls().first().toLocalFile();
    return data->text();
}

OpenFileDialog::Hook OpenFileDialog::SetHook(Hook hook) {
    Hook previous = OpenHookRef();
    OpenHookRef() = std::move(hook);
    return previous;
}

bool OpenFileDialog::Show() {
    FileName = OpenHookRef()
                   ? OpenHookRef()(*this)
                   : QFileDialog::getOpenFileName(Owner, QString(), InitialDir, ToQtFilter(Filter));
    return !FileName.isEmpty();
}

FolderDialog::Hook FolderDialog::SetHook(Hook hook) {
    Hook previous = FolderHookRef();
    FolderHookRef() = std::move(hook);
    return previous;
}

bool FolderDialog::Show() {
    const QString chosen = FolderHookRef()
                               ? FolderHookRef()(*this)
                               : QFileDialog::getExistingDirectory(Owner, Title, Folder);
    if (chosen.isEmpty())
        return false;
    Folder = chosen;
    return true;
}
