#include "platform/qt/Questions.h"

#include "platform/qt/ErrorReport.h"
#include "platform/qt/ServiceSlot.h"

#include <QMessageBox>
#include <QPushButton>

namespace plotalon {

namespace {

class TMessageBoxQuestions : public IQuestions {
public:
    TAnswer Ask(QWidget* parent, const QString& text, TAnswer preset) override {
        QMessageBox box(QMessageBox::Question, ApplicationTitle(), text, QMessageBox::NoButton,
                        parent);
        // The texts of the program's own, whatever translations the toolkit has.
        QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(preset == TAnswer::Yes ? yes : no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? TAnswer::Yes : TAnswer::No;
    }
};

using TQuestionsSlot = TServiceSlot<IQuestions, TMessageBoxQuestions>;

} // namespace

IQuestions& Questions() {
    return TQuestionsSlot::Current();
}

IQuestions* SetQuestions(IQuestions* questions) {
    return TQuestionsSlot::Install(questions);
}

TAnswer TScriptedQuestions::Ask(QWidget*, const QString& text, TAnswer preset) {
    Asked.push_back({text, preset});
    if (Answers.empty()) return TAnswer::No;
    const TAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
}

} // namespace plotalon
