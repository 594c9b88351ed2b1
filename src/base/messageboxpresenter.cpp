#include "base/messageboxpresenter.h"

#include <QApplication>
#include <QPushButton>

namespace {

QMessageBox::StandardButtons buttonsFor(int style) {
    switch (style & 0x0F) {
    case 1:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
        return QMessageBox::Yes | QMessageBox::No;
    case 5:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconFor(int style) {
    switch (style & 0xF0) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void MessageBoxPresenter::applyStyle(QMessageBox& box, int style) {
    const QMessageBox::StandardButtons buttons = buttonsFor(style);
    box.setStandardButtons(buttons);
    box.setIcon(iconFor(style));

    // Bits 8-9 pick the default button by position, as the platform does.
    QList<QAbstractButton*> ordered;
    for (QMessageBox::StandardButton b :
         {QMessageBox::Ok, QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore,
          QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
        if (buttons.testFlag(b))
            ordered.append(box.button(b));
    }
    const qsizetype defaultIndex = (style >> 8) & 0x03;
    if (defaultIndex < ordered.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(ordered[defaultIndex]));
    // Escape answers Cancel where there is one, else the only button.
    if (buttons.testFlag(QMessageBox::Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    else if (ordered.size() == 1)
        box.setEscapeButton(ordered.front());
}

int MessageBoxPresenter::resultOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return msgbox::Ok;
    case QMessageBox::Cancel:
        return msgbox::Cancel;
    case QMessageBox::Abort:
        return msgbox::Abort;
    case QMessageBox::Retry:
        return msgbox::Retry;
    case QMessageBox::Ignore:
        return msgbox::Ignore;
    case QMessageBox::Yes:
        return msgbox::Yes;
    case QMessageBox::No:
        return msgbox::No;
    default:
        return msgbox::Cancel;
    }
}

int MessageBoxPresenter::present(const QString& text, int style, const QString& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    // The catalogue's line breaks are CR LF; the box wants plain LF.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    applyStyle(box, style);
    box.exec();
    return resultOf(box.standardButton(box.clickedButton()));
}
