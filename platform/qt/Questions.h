#pragma once
// Yes-or-no questions to the user (replace an existing file? quit with unsaved edits?),
// behind a small interface so that tests answer them instead of a person.

#include "platform/qt/ServiceSlot.h"
#include <QString>
#include <QWidget>
#include <deque>
#include <vector>

namespace plotalon {

enum class TAnswer { Yes, No };

class IQuestions {
public:
    virtual ~IQuestions() = default;
    // Asks text in a box with the buttons "&Ja" and "&Nein", the application's title as its
    // caption; preset is the answer that Enter gives. Escape and the close box answer No.
    virtual TAnswer Ask(QWidget* parent, const QString& text, TAnswer preset) = 0;
};

IQuestions& Questions();
// Installs questions (nullptr: the message box again); returns the previous one.
IQuestions* SetQuestions(IQuestions* questions);

// Answers questions from a list, recording every one, while it lives.
class TScriptedQuestions : public TInstalledWhileAlive<IQuestions, SetQuestions> {
public:
    struct Question {
        QString text;
        TAnswer preset;
    };

    // Answers in order; when they run out the user says No.
    std::deque<TAnswer> Answers;
    std::vector<Question> Asked;

    TAnswer Ask(QWidget* parent, const QString& text, TAnswer preset) override;
};

} // namespace plotalon
