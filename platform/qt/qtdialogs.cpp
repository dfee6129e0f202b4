#include "platform/qt/qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace wf {
namespace {

QString toQt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon toQtIcon(std::optional<Icon> icon) {
    if (!icon) return QMessageBox::NoIcon;
    switch (*icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QWidget* owner() {
    return QApplication::activeWindow();
}

}  // namespace

void QtDialogs::message(std::string_view text, std::string_view title, Icon icon) {
    QMessageBox box(toQtIcon(icon), toQt(title), toQt(text), QMessageBox::Ok, owner());
    box.exec();
}

DialogButton QtDialogs::ask(std::string_view text, std::string_view title, DialogButtons buttons,
                            std::optional<Icon> icon) {
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    DialogButton closed = DialogButton::Ok;
    switch (buttons) {
        case DialogButtons::Ok:
            break;
        case DialogButtons::OkCancel:
            shown = QMessageBox::Ok | QMessageBox::Cancel;
            closed = DialogButton::Cancel;
            break;
        case DialogButtons::YesNo:
            shown = QMessageBox::Yes | QMessageBox::No;
            closed = DialogButton::No;
            break;
        case DialogButtons::YesNoCancel:
            shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            closed = DialogButton::Cancel;
            break;
    }
    QMessageBox box(toQtIcon(icon), toQt(title), toQt(text), shown, owner());
    switch (box.exec()) {
        case QMessageBox::Ok:
            return DialogButton::Ok;
        case QMessageBox::Yes:
            return DialogButton::Yes;
        case QMessageBox::No:
            return DialogButton::No;
        case QMessageBox::Cancel:
            return DialogButton::Cancel;
        default:
            return closed;
    }
}

std::optional<std::string> QtDialogs::input(std::string_view prompt, std::string_view title,
                                            std::string_view initial) {
    bool ok = false;
    QString text = QInputDialog::getText(owner(), toQt(title), toQt(prompt), QLineEdit::Normal,
                                         toQt(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<std::filesystem::path> QtDialogs::openFile(std::string_view title,
                                                         std::string_view filter) {
    QString file = QFileDialog::getOpenFileName(owner(), toQt(title), QString(), toQt(filter));
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(file.toStdString());
}

}  // namespace wf
