#include "platform/qt/Questions.h"

#include "platform/qt/ErrorReport.h"

#include <QMessageBox>
#include <QPushButton>

namespace plotalon {

namespace {

class TMessageBoxQuestions : public IQuestions {
public:
    bool Ask(QWidget* parent, const QString& question) override {
        QMessageBox box(QMessageBox::Question, ApplicationTitle(), question, QMessageBox::NoButton,
                        parent);
        QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }
};

TMessageBoxQuestions& MessageBox() {
    static TMessageBoxQuestions messageBox;
    return messageBox;
}

IQuestions*& Current() {
    static IQuestions* current = &MessageBox();
    return current;
}

} // namespace

IQuestions& Questions() {
    return *Current();
}

IQuestions* SetQuestions(IQuestions* questions) {
    IQuestions* previous = Current();
    Current() = questions ? questions : &MessageBox();
    return previous;
}

} // namespace plotalon
