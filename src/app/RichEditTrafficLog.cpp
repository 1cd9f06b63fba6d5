#include "app/RichEditTrafficLog.h"

#include <QColor>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

QColor ColourFromValue(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

RichEditTrafficLog::RichEditTrafficLog(QTextEdit* edit, std::function<bool()> isShown)
    : QObject(edit), mEdit(edit), mIsShown(std::move(isShown)) {}

bool RichEditTrafficLog::IsShown() const {
    return mIsShown();
}

bool RichEditTrafficLog::IsEmpty() const {
    return mEdit->document()->isEmpty();
}

bool RichEditTrafficLog::EndsWithLineBreak() const {
    const QTextDocument* document = mEdit->document();
    // An empty block stands last exactly when the text ends with a break.
    return document->blockCount() > 1 && document->lastBlock().length() == 1;
}

void RichEditTrafficLog::Append(const QString& text, quint32 colour) {
    QTextCursor cursor(mEdit->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(ColourFromValue(colour));
    cursor.insertText(text, format);
    ScrollToEnd();
}

void RichEditTrafficLog::AppendToLastLine(const QString& text) {
    QTextCursor cursor(mEdit->document());
    cursor.movePosition(QTextCursor::End);
    if (EndsWithLineBreak()) {
        cursor.movePosition(QTextCursor::PreviousBlock);
        cursor.movePosition(QTextCursor::EndOfBlock);
    }
    cursor.insertText(text);
    ScrollToEnd();
}

void RichEditTrafficLog::Clear() {
    mEdit->clear();
}

void RichEditTrafficLog::ScrollToEnd() {
    mEdit->moveCursor(QTextCursor::End);
    QScrollBar* bar = mEdit->verticalScrollBar();
    bar->setValue(bar->maximum());
}
