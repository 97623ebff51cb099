#pragma once
// A memo control: multi-line text whose content is 8-bit memo text, lines separated by
// CR LF, shown as Windows-1252 (one byte, one character). Every byte except NUL, CR and LF
// comes back from Text() as it went into SetText().

#include <QPlainTextEdit>
#include <cstddef>
#include <string>
#include <string_view>

namespace plotalon {

class TMemo : public QPlainTextEdit {
public:
    // The most memo text a memo holds, in bytes with CR LF counted as two. Prefix and suffix
    // blocks and help texts are a few kilobytes; a file a thousand times that size is no such
    // text (a whole NC program picked by mistake, say) and is refused rather than left to
    // make the dialog unresponsive.
    static constexpr std::size_t kCapacity = std::size_t(1) << 20;

    explicit TMemo(QWidget* parent = nullptr);

    // Replaces the whole text by memoText, which ends at its first NUL byte; CR LF, a lone CR
    // and a lone LF each break a line. Throws EMemoCapacityError, keeping the text, when it
    // is longer than kCapacity.
    void SetText(std::string_view memoText);
    // The text as bytes, CR LF between lines; a character outside Windows-1252 becomes '?'.
    std::string Text() const;
    // Length of Text(), without building it.
    std::size_t TextLength() const;

protected:
    // Typing and pasting stop at the capacity, so that what is saved can be loaded again.
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool Fits(const QString& inserted) const;
};

} // namespace plotalon
