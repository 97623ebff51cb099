#include "platform/qt/Memo.h"

#include "platform/Errors.h"
#include "platform/qt/Text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

namespace plotalon {

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void TMemo::SetText(std::string_view memoText) {
    memoText = memoText.substr(0, memoText.find('\0'));
    if (memoText.size() > kCapacity) throw EMemoCapacityError();
    setPlainText(FromAnsi(memoText));
}

std::string TMemo::Text() const {
    // The raw text keeps a no-break space as it is (the plain text would make it a blank);
    // paragraph and line separators stand for the memo's line breaks.
    QString raw = document()->toRawText();
    std::string bytes;
    bytes.reserve(std::size_t(raw.size()) + std::size_t(document()->blockCount()));
    qsizetype start = 0;
    for (qsizetype i = 0; i <= raw.size(); ++i) {
        if (i < raw.size() && raw[i] != QChar::ParagraphSeparator && raw[i] != QChar::LineSeparator)
            continue;
        bytes += ToAnsi(raw.sliced(start, i - start));
        if (i < raw.size()) bytes += "\r\n";
        start = i + 1;
    }
    return bytes;
}

std::size_t TMemo::TextLength() const {
    // Every block but the last ends in one separator character that stands for two bytes.
    const QTextDocument* doc = document();
    return std::size_t(doc->characterCount() - 1 + doc->blockCount() - 1);
}

// Counted on the safe side: a pasted CR LF counts three bytes, a replaced line break one.
bool TMemo::Fits(const QString& inserted) const {
    const std::size_t replaced = std::size_t(textCursor().selectedText().size());
    const std::size_t added = std::size_t(inserted.size() + inserted.count(u'\n'));
    return TextLength() - std::min(replaced, TextLength()) + added <= kCapacity;
}

void TMemo::keyPressEvent(QKeyEvent* event) {
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = lineBreak ? QStringLiteral("\n") : event->text();
    const bool inserts = lineBreak || (!typed.isEmpty() && typed[0].isPrint());
    if (inserts && !isReadOnly() && !Fits(typed)) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TMemo::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !Fits(source->text())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace plotalon
