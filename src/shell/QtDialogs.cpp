#include "shell/QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdio>

#include "views/Color.h"

namespace pelsid {

namespace {
QMessageBox::Icon qtIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::None:
            return QMessageBox::NoIcon;
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

bool QtDialogs::question(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, q(title), q(text), QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::message(Icon icon, const std::string& title, const std::string& text) {
    QMessageBox box(qtIcon(icon), q(title), q(text), QMessageBox::Ok);
    box.exec();
}

std::string QtDialogs::openFileName(const std::string& title, const std::string& folder) {
    return QFileDialog::getOpenFileName(nullptr, q(title), q(folder)).toStdString();
}

std::string QtDialogs::saveCaptureFileName(const std::string& title, const std::string& suggested) {
    QString chosen;
    const QString name =
        QFileDialog::getSaveFileName(nullptr, q(title), q(suggested),
                                     QStringLiteral("pcap (*.pcap);;pcapng (*.pcapng)"), &chosen);
    // A name typed without a suffix takes the one of the type chosen.
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name.toStdString();
    return (name + (chosen.startsWith("pcapng") ? ".pcapng" : ".pcap")).toStdString();
}

std::uint32_t QtDialogs::chooseColor(std::uint32_t initial) {
    const QColor c = QColorDialog::getColor(QColor::fromRgb(toQRgb(initial)));
    return c.isValid() ? fromQRgb(c.rgb()) : initial;
}

bool ConsoleDialogs::question(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s (answered Yes)\n", title.c_str(), text.c_str());
    return true;
}

void ConsoleDialogs::message(Icon icon, const std::string& title, const std::string& text) {
    if (icon == Icon::Critical) failed = true;
    std::fprintf(stderr, "%s: %s\n", title.empty() ? "pelsid" : title.c_str(), text.c_str());
}

}  // namespace pelsid
