#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "colour/ColorScale.h"

class ClickLabel;
class Dialogs;
class ImageBox;
class QImage;
class QPushButton;
class QTableWidget;
class TTenkey;

// Paints every pixel (x, y) of the image with the gradation colour at
// position y / H: the table's first colour in the top row, blended down to
// its last colour at the bottom. The image keeps its size.
void DrawGradationPreview(QImage& image, const GradationTable& table);

// The modal "Multi Gradation Setting" dialog. It edits a working copy of the
// gradation table and owns the committed table that the colour bar, the map
// and the contours are drawn with. Both start as the "Colormap" preset.
class TGradationSet : public QDialog {
    Q_OBJECT
public:
    // dialogs: the file and colour dialogs (not owned). tenkey: the input pad
    // that edits the colour count; without it the count cannot be edited.
    TGradationSet(Dialogs& dialogs, TTenkey* tenkey, QWidget* parent = nullptr);
    ~TGradationSet() override;

    // Shows the dialog modally. True after OK, false after Cancel; closing
    // through the window frame keeps the answer of the last OK or Cancel.
    // Also true whenever the committed table changed while the dialog was
    // open (a Load commits at once), so the caller redraws with it.
    bool Execute();

    const GradationTable& CommittedTable() const { return committed_; }
    const GradationTable& WorkingTable() const { return working_; }

    // The start-up load of folder + "colorset.dat". A file that reads with a
    // count above 0 becomes the working and committed table. A missing file,
    // or one that fails (its messages shown, the working table reset to the
    // "Colormap" preset), is written anew from the working table. Returns 1,
    // or -1 when that file could not be written (the message is shown and the
    // tables stay usable). From then on OK writes the committed table to that
    // file too, so the next start draws with it.
    int LoadDefaultColorSetting(const QString& folder);

    // Handlers.
    void Btn_ColormapClick();
    void Btn_MonoClick();
    void Btn_InsertClick();
    void Btn_DeleteClick();
    void Btn_SaveClick();
    void Btn_LoadClick();
    void Btn_OKClick();
    void Btn_CancelClick();
    void Lbl_DataDblClick(ClickLabel* label);
    void Stg_ColorSetDblClick(int row, int column);

    ImageBox* Img_ColorBar = nullptr;
    ClickLabel* Lbl_ColorCount = nullptr;
    QTableWidget* Stg_ColorSet = nullptr;
    QPushButton* Btn_Colormap = nullptr;
    QPushButton* Btn_Mono = nullptr;
    QPushButton* Btn_Insert = nullptr;
    QPushButton* Btn_Delete = nullptr;
    QPushButton* Btn_Save = nullptr;
    QPushButton* Btn_Load = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

private:
    void BuildControls();
    void FormCreate();
    // Label, grid rows and texts, and preview from the working table.
    void RefreshDisplay();
    void SetGridRows();
    void RepaintTable();
    // The selected colour row, 1..count.
    int SelectedRow() const;
    void Commit();
    void Revert();

    Dialogs* dialogs_;
    TTenkey* tenkey_ = nullptr;
    GradationTable working_;
    GradationTable committed_;
    bool result_ = false;
    // The colour-setting file of the start-up load; empty before it.
    QString defaultFile_;
};
