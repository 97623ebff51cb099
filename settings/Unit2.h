#pragma once
// TForm_Einstellungen: the modal, stay-on-top dialog "Einstellungen" in which the user edits
// the conversion settings. Its fields are the working copy of the settings: LoadSettings
// fills them (and the conversion settings) from the settings file and the block files,
// SaveSettings writes them back and loads again. Closing it reverts nothing, and the
// conversion reads the prefix and suffix memos directly, saved or not.
//
// Left strip: the page buttons "&HPGL", "&Verzeichnisse", "&NC-Format" and "P&lotter". HPGL page:
// scale factor, X and Y origin and arc resolution, each an edit between a minus and a plus stepper,
// the prefix and suffix memos and the dialect buttons. Folders page: the NC and HPGL start
// folders with their browse buttons. NC format page: the reading of the NC text (literal or
// standard RS274) and, for the standard reading, the pen level, what lowers the pen, tool
// pens and drill marks. Plotter page: the port and line of the plotter the program sends to
// (TPlotterPage, section "plotter"). Bottom strip: "&Abbrechen", "&Hilfe", "&Speichern".

#include "engine/LineSeams.h"
#include "settings/FieldRules.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;

namespace plotalon {

class TBrowseForFolder;
class TMemo;
class TPlotterPage;
class TShape;
class TXPSpeedButton;

class TForm_Einstellungen : public QDialog {
    Q_OBJECT
public:
    // parent: the main window, over which the dialog is centred at its first showing.
    explicit TForm_Einstellungen(QWidget* parent = nullptr);

    // Fields, dialect and conversion settings from "main.ini" in the program's folder, then
    // the memos from "vorspann.plt" and "nachspann.plt" there, where they exist, and last the
    // plotter page. Throws EFOpenError or EMemoCapacityError at a block file, which stops the
    // load there.
    void LoadSettings();
    // The fields to "main.ini" (the plotter page's section after the others), the memos to
    // the block files, then LoadSettings. Throws
    // Reg::EIniWriteError or EFCreateError, stopping at the write that failed: what was
    // written before stays, nothing after it is written.
    void SaveSettings();

    // The lines of the prefix and suffix memos as 8-bit lines, as the conversion run appends
    // them: an empty memo has none, and a final line break starts no further line.
    TLineVector PrefixLines() const;
    TLineVector SuffixLines() const;

    // The window that "&Hilfe" shows modally (the program's help window); none: nothing.
    void SetHelpWindow(QDialog* help);

    // The controls, in the order of the window's layout.
    TBrowseForFolder* Folder;
    QWidget* Panel2;
    QWidget* Panel3;
    QWidget* Panel1;
    TXPSpeedButton* BHPGL;
    TXPSpeedButton* BDir;
    TShape* Shape1;
    QWidget* Panel_DIR;
    QLabel* Label5;
    TXPSpeedButton* BNCDIR;
    QLabel* Label6;
    TXPSpeedButton* BHPGLDIR;
    QLineEdit* ENCDIR;
    QLineEdit* EHPGLDIR;
    QWidget* Panel_HPGL;
    TXPSpeedButton* EHPGL1;
    TXPSpeedButton* EHPGL2;
    QLabel* Label2;
    TXPSpeedButton* FMinus;
    TXPSpeedButton* FPlus;
    QLabel* Label3;
    TXPSpeedButton* XMinus;
    TXPSpeedButton* XPlus;
    QLabel* Label4;
    TXPSpeedButton* YMinus;
    TXPSpeedButton* YPlus;
    QLabel* Label1;
    TXPSpeedButton* GMinus;
    TXPSpeedButton* GPlus;
    QLabel* Label7;
    QLabel* Label8;
    QLineEdit* EFaktor;
    QLineEdit* EXVersatz;
    QLineEdit* EYVersatz;
    QLineEdit* EGrad;
    TMemo* EVorspann;
    TMemo* ENachspann;
    TXPSpeedButton* XPSpeedButton3;
    TShape* Shape2;
    TXPSpeedButton* Abbruch;
    TXPSpeedButton* XPSpeedButton1;

    // The NC format page and its page button.
    TXPSpeedButton* BNCFormat;
    QWidget* Panel_NCFormat;
    QLabel* Label9; // "Lesart des NC-Programms"
    TXPSpeedButton* EWoertlich;
    TXPSpeedButton* EStandard;
    QLabel* Label10; // what the standard reading means for the factor
    QLabel* Label11; // "Stift-Z (NC-Einheiten)"
    TXPSpeedButton* SMinus;
    QLineEdit* EStiftZ;
    TXPSpeedButton* SPlus;
    QLabel* Label12; // "Stift senken durch"
    TXPSpeedButton* EStiftZHoehe;
    TXPSpeedButton* EStiftSpindel;
    TXPSpeedButton* EWerkzeugStift;
    TXPSpeedButton* EBohrpunkte;

    // The plotter page and its page button.
    TXPSpeedButton* BPlotter;
    TPlotterPage* Panel_Plotter;

    // Event handlers, bound to the control of the same name.
    void FMinusClick();
    void FPlusClick();
    void XMinusClick();
    void XPlusClick();
    void YMinusClick();
    void YPlusClick();
    void GMinusClick();
    void GPlusClick();
    void EFaktorChange();
    void EXVersatzChange();
    void EYVersatzChange();
    void EGradChange();
    void BNCDIRClick();
    void BHPGLDIRClick();
    void BHPGLClick();
    void BDirClick();
    void XPSpeedButton3Click();
    void AbbruchClick();
    void XPSpeedButton1Click();
    void BNCFormatClick();
    void SMinusClick();
    void SPlusClick();
    void EStiftZChange();
    void BPlotterClick();

    void setVisible(bool visible) override;

private:
    void BuildLeftStrip();
    void BuildFoldersPage();
    void BuildHpglPage();
    void BuildNcFormatPage();
    void ShowPage(QWidget* page);
    void BuildBottomStrip();
    void LoadNcFormat();
    void SaveNcFormat();
    void BindHandlers();
    static void Validate(QLineEdit* field, const TValidator& validator);
    static void StepPen(QLineEdit* field, long double step);
    void Browse(QLineEdit* field);

    QPointer<QDialog> help_;
    bool placed_ = false;
};

} // namespace plotalon
