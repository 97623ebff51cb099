#pragma once
// Yes-or-no questions to the user, behind a small interface so that tests script the answer
// instead of waiting for one. The question is a message box with the application title as
// caption, the buttons "Ja" and "Nein", "Nein" the default.

#include <QString>
#include <QWidget>
#include <deque>
#include <vector>

namespace plotalon {

class IQuestions {
public:
    virtual ~IQuestions() = default;
    // True when the user answers yes.
    virtual bool Ask(QWidget* parent, const QString& question) = 0;
};

IQuestions& Questions();
// Installs questions (nullptr: the message box again); returns the previous one.
IQuestions* SetQuestions(IQuestions* questions);

// Answers from a list, recording every question, while it lives; when the answers run out
// the user says no.
class TScriptedQuestions : public IQuestions {
public:
    TScriptedQuestions() : previous_(SetQuestions(this)) {}
    ~TScriptedQuestions() override { SetQuestions(previous_); }
    TScriptedQuestions(const TScriptedQuestions&) = delete;
    TScriptedQuestions& operator=(const TScriptedQuestions&) = delete;

    bool Ask(QWidget*, const QString& question) override {
        Asked.push_back(question);
        if (Answers.empty()) return false;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    std::deque<bool> Answers;
    std::vector<QString> Asked;

private:
    IQuestions* previous_;
};

} // namespace plotalon
