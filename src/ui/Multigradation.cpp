#include "ui/Multigradation.h"

#include <qdrawutil.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <algorithm>

#include "colour/ColorSettingFile.h"
#include "core/Message.h"
#include "ui/Dialogs.h"
#include "ui/Input.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/ImageBox.h"

namespace {

constexpr int ClientWidth = 201;
constexpr int ClientHeight = 348;
constexpr int PreviewWidth = 25;
constexpr int PreviewHeight = 297;
// A grid cell of 64 (name) or 49 (colour) by 16 pixels plus its 1-pixel grid
// line, which a table view counts inside the section.
constexpr int NameColumnWidth = 64 + 1;
constexpr int ColorColumnWidth = 49 + 1;
constexpr int RowHeight = 16 + 1;

const QString kFileFilter = QStringLiteral("Color Setting file (*.dat)");
const QString kFileSuffix = QStringLiteral("dat");

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QColor ToQColor(Color c) {
    return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

// Paints the colour grid: fixed cells (row 0, column 0) in the button face
// with a raised edge, a colour cell filled with its working colour (its text
// in the same colour, so it does not show), and a 2-pixel frame round the
// selected cell.
class ColorCellDelegate : public QStyledItemDelegate {
public:
    ColorCellDelegate(const GradationTable& table, QTableWidget* grid)
        : QStyledItemDelegate(grid), table_(table), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect cell = option.rect;
        const int row = index.row();
        const int column = index.column();
        const bool fixed = row == 0 || column == 0;
        QColor back = option.palette.color(QPalette::Base);
        QColor text = Qt::black;
        if (fixed) {
            back = option.palette.color(QPalette::Button);
        } else if (column == 1 && row <= GradationMaxColors) {
            back = ToQColor(table_.Colors[static_cast<std::size_t>(row - 1)]);
            text = back;
        }
        painter->save();
        painter->fillRect(cell, back);
        if (fixed) qDrawShadePanel(painter, cell, option.palette, false, 1);
        if (!fixed && index == grid_->currentIndex()) {
            painter->setPen(QPen(Qt::black, 2));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(
                QRectF(cell.left() + 1.0, cell.top() + 1.0, cell.width() - 2.0, cell.height() - 2.0));
        }
        painter->setPen(text);
        painter->setFont(option.font);
        painter->drawText(cell.adjusted(2, 1, -2, -1), Qt::AlignCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

private:
    const GradationTable& table_;
    QTableWidget* grid_;
};

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

// Count and colours in use are the same.
bool SameInUse(const GradationTable& a, const GradationTable& b) {
    if (a.Count != b.Count) return false;
    const int n = std::clamp(a.Count, 0, GradationMaxColors);
    return std::equal(a.Colors.begin(), a.Colors.begin() + n, b.Colors.begin());
}

// Count and the first count colours of `from` into `to`; the entries past the
// count keep what they held.
void CopyInUse(const GradationTable& from, GradationTable& to) {
    to.Count = from.Count;
    const int n = std::clamp(from.Count, 0, GradationMaxColors);
    std::copy(from.Colors.begin(), from.Colors.begin() + n, to.Colors.begin());
}

}  // namespace

void DrawGradationPreview(QImage& image, const GradationTable& table) {
    const int width = image.width();
    const int height = image.height();
    if (width <= 0 || height <= 0) return;
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        // The position is rounded to single precision as the lookup takes it.
        const float position = static_cast<float>(static_cast<double>(y) / height);
        const QRgb pixel = ColorToArgb(GetGradationColor(table, position));
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line, line + width, pixel);
    }
}

TGradationSet::TGradationSet(Dialogs& dialogs, TTenkey* tenkey, QWidget* parent)
    : QDialog(parent),
      dialogs_(&dialogs),
      tenkey_(tenkey),
      working_(ColormapPreset()),
      committed_(ColormapPreset()) {
    BuildControls();
    FormCreate();
}

TGradationSet::~TGradationSet() = default;

void TGradationSet::BuildControls() {
    setWindowTitle(QStringLiteral("Multi Gradation Setting"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);

    auto* previewFrame = new QFrame(this);
    previewFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    previewFrame->setLineWidth(1);
    previewFrame->setGeometry(9, 9, PreviewWidth + 2, PreviewHeight + 2);
    Img_ColorBar = new ImageBox(PreviewWidth, PreviewHeight, previewFrame);
    Img_ColorBar->move(1, 1);

    // Right-hand column: count, grid, then the buttons in pairs.
    constexpr int left = 46;
    constexpr int pitch = 74;
    constexpr int buttonWidth = 70;
    auto* countCaption = new QLabel(QStringLiteral("Color Count:"), this);
    countCaption->setGeometry(left, 10, 78, 16);
    Lbl_ColorCount = new ClickLabel(QString::number(working_.Count), this);
    Lbl_ColorCount->Tag = 0;
    Lbl_ColorCount->setGeometry(left + 78, 10, 36, 16);
    QFont countFont = Lbl_ColorCount->font();
    countFont.setBold(true);
    Lbl_ColorCount->setFont(countFont);
    Lbl_ColorCount->setStyleSheet(QStringLiteral("QLabel { color: #0000ff; }"));
    connect(Lbl_ColorCount, &ClickLabel::doubleClicked, this, &TGradationSet::Lbl_DataDblClick);

    Stg_ColorSet = new QTableWidget(0, 2, this);
    Stg_ColorSet->horizontalHeader()->hide();
    Stg_ColorSet->verticalHeader()->hide();
    for (QHeaderView* header : {Stg_ColorSet->horizontalHeader(), Stg_ColorSet->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    Stg_ColorSet->verticalHeader()->setDefaultSectionSize(RowHeight);
    Stg_ColorSet->setColumnWidth(0, NameColumnWidth);
    Stg_ColorSet->setColumnWidth(1, ColorColumnWidth);
    Stg_ColorSet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Stg_ColorSet->setSelectionMode(QAbstractItemView::NoSelection);
    Stg_ColorSet->setTabKeyNavigation(false);
    Stg_ColorSet->setWordWrap(false);
    Stg_ColorSet->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Stg_ColorSet->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Stg_ColorSet->setItemDelegate(new ColorCellDelegate(working_, Stg_ColorSet));
    const int frame = 2 * Stg_ColorSet->frameWidth();
    Stg_ColorSet->setGeometry(left, 32, NameColumnWidth + ColorColumnWidth + frame,
                              (GradationMaxColors + 1) * RowHeight + frame);
    // Fixed cells are never the selected cell.
    connect(Stg_ColorSet, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int previousRow, int previousColumn) {
                const int rows = Stg_ColorSet->rowCount();
                if (rows > 1 && row >= 0 && (row < 1 || column < 1)) {
                    const bool previousValid = previousRow >= 1 && previousRow < rows && previousColumn == 1;
                    Stg_ColorSet->setCurrentCell(previousValid ? previousRow : std::max(row, 1), 1);
                }
                Stg_ColorSet->viewport()->update();
            });
    connect(Stg_ColorSet, &QTableWidget::cellDoubleClicked, this, &TGradationSet::Stg_ColorSetDblClick);

    const int buttonsTop = Stg_ColorSet->geometry().bottom() + 8;
    const auto pairRect = [&](int row, int column) {
        return QRect(left + column * pitch, buttonsTop + row * 26, buttonWidth, 23);
    };
    Btn_Colormap = MakeButton(this, QStringLiteral("Colormap"), pairRect(0, 0));
    Btn_Mono = MakeButton(this, QStringLiteral("Mono"), pairRect(0, 1));
    Btn_Insert = MakeButton(this, QStringLiteral("Insert"), pairRect(1, 0));
    Btn_Delete = MakeButton(this, QStringLiteral("Delete"), pairRect(1, 1));
    Btn_Save = MakeButton(this, QStringLiteral("Save"), pairRect(2, 0));
    Btn_Load = MakeButton(this, QStringLiteral("Load"), pairRect(2, 1));
    Btn_OK = MakeButton(this, QStringLiteral("OK"), QRect(left, ClientHeight - 33, buttonWidth, 25));
    Btn_Cancel =
        MakeButton(this, QStringLiteral("Cancel"), QRect(left + pitch, ClientHeight - 33, buttonWidth, 25));
    connect(Btn_Colormap, &QPushButton::clicked, this, &TGradationSet::Btn_ColormapClick);
    connect(Btn_Mono, &QPushButton::clicked, this, &TGradationSet::Btn_MonoClick);
    connect(Btn_Insert, &QPushButton::clicked, this, &TGradationSet::Btn_InsertClick);
    connect(Btn_Delete, &QPushButton::clicked, this, &TGradationSet::Btn_DeleteClick);
    connect(Btn_Save, &QPushButton::clicked, this, &TGradationSet::Btn_SaveClick);
    connect(Btn_Load, &QPushButton::clicked, this, &TGradationSet::Btn_LoadClick);
    connect(Btn_OK, &QPushButton::clicked, this, &TGradationSet::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TGradationSet::Btn_CancelClick);
}

void TGradationSet::FormCreate() {
    RefreshDisplay();
    Stg_ColorSet->setCurrentCell(1, 1);
}

bool TGradationSet::Execute() {
    const GradationTable before = committed_;
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    exec();
    return result_ || !SameInUse(before, committed_);
}

int TGradationSet::LoadDefaultColorSetting(const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("colorset.dat"));
    defaultFile_ = path;
    if (QFileInfo::exists(path)) {
        const int count = LoadColorSetting(LocalPath(path), working_, dialogs_->Messages());
        if (count > 0) {
            working_.Count = count;
            RefreshDisplay();
            Commit();
            return 1;
        }
    }
    RefreshDisplay();
    return SaveColorSetting(LocalPath(path), working_, dialogs_->Messages()) == 1 ? 1 : -1;
}

void TGradationSet::RefreshDisplay() {
    Lbl_ColorCount->setText(QString::number(working_.Count));
    SetGridRows();
    RepaintTable();
}

void TGradationSet::SetGridRows() {
    const int rows = std::clamp(working_.Count, 1, GradationMaxColors) + 1;
    Stg_ColorSet->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 2; ++c) {
            QTableWidgetItem* item = Stg_ColorSet->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(r == 0 || c == 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled);
                Stg_ColorSet->setItem(r, c, item);
            }
            QString text;
            if (r == 0)
                text = c == 0 ? QStringLiteral("Name") : QStringLiteral("Color");
            else if (c == 0)
                text = QStringLiteral("Color") + QString::number(r);
            item->setText(text);
        }
    }
    const int current = Stg_ColorSet->currentRow();
    if (current < 1 || current >= rows) Stg_ColorSet->setCurrentCell(std::clamp(current, 1, rows - 1), 1);
}

void TGradationSet::RepaintTable() {
    Stg_ColorSet->viewport()->update();
    DrawGradationPreview(Img_ColorBar->Picture(), working_);
    Img_ColorBar->PictureChanged();
}

int TGradationSet::SelectedRow() const {
    return std::clamp(Stg_ColorSet->currentRow(), 1, std::max(working_.Count, 1));
}

void TGradationSet::Commit() {
    CopyInUse(working_, committed_);
}

void TGradationSet::Revert() {
    CopyInUse(committed_, working_);
}

void TGradationSet::Btn_ColormapClick() {
    working_ = ColormapPreset();
    RefreshDisplay();
}

void TGradationSet::Btn_MonoClick() {
    ApplyMonoPreset(working_);
    RefreshDisplay();
}

void TGradationSet::Btn_InsertClick() {
    const int r = SelectedRow();
    int& count = working_.Count;
    count = std::min(count + 1, GradationMaxColors);
    // The selected colour is doubled into the row below; at ten colours the
    // last one drops off the end.
    for (int i = count - 2; i >= r - 1; --i)
        working_.Colors[static_cast<std::size_t>(i + 1)] = working_.Colors[static_cast<std::size_t>(i)];
    RefreshDisplay();
}

void TGradationSet::Btn_DeleteClick() {
    int& count = working_.Count;
    if (count < 2) return;
    const int r = SelectedRow();
    for (int i = r - 1; i <= count - 2; ++i)
        working_.Colors[static_cast<std::size_t>(i)] = working_.Colors[static_cast<std::size_t>(i + 1)];
    working_.Colors[static_cast<std::size_t>(count - 1)] = 0;
    // Two colours stay: deleting from two leaves the second one black.
    count = std::max(count - 1, 2);
    RefreshDisplay();
}

void TGradationSet::Stg_ColorSetDblClick(int row, int column) {
    if (column != 1 || row < 1 || row > std::min(working_.Count, GradationMaxColors)) return;
    Color& color = working_.Colors[static_cast<std::size_t>(row - 1)];
    const std::optional<Color> chosen = dialogs_->ChooseColor(this, color);
    if (!chosen) return;
    color = *chosen;
    RepaintTable();
}

void TGradationSet::Lbl_DataDblClick(ClickLabel* label) {
    if (!tenkey_ || label->Tag != 0) return;
    const ParamInput input{InputMode::Integer, 2.0, 10.0, 2, 0, label->text()};
    if (!tenkey_->InputValue(input)) return;
    label->setText(tenkey_->EnteredText);
    // Entries that come into use again keep the colours they held.
    working_.Count = std::clamp(tenkey_->EnteredText.toInt(), 2, GradationMaxColors);
    SetGridRows();
    RepaintTable();
}

void TGradationSet::Btn_SaveClick() {
    working_.Count = Lbl_ColorCount->text().toInt();
    const std::optional<QString> file = dialogs_->SaveFile(this, kFileFilter, kFileSuffix);
    if (!file) return;
    if (SaveColorSetting(LocalPath(*file), working_, dialogs_->Messages()) == 1)
        dialogs_->ShowMessage("Save the Color setting completed.");
}

void TGradationSet::Btn_LoadClick() {
    const std::optional<QString> file = dialogs_->OpenFile(this, kFileFilter, kFileSuffix);
    if (!file) return;
    const int count = LoadColorSetting(LocalPath(*file), working_, dialogs_->Messages());
    if (count > 0) {
        working_.Count = count;
        RefreshDisplay();
        Commit();
        return;
    }
    // A failed read has put the "Colormap" preset into the working table:
    // show it now rather than at the next edit.
    RefreshDisplay();
}

void TGradationSet::Btn_OKClick() {
    result_ = true;
    Commit();
    // Kept for the next start; a failed write has shown its message and the
    // colours still apply to this run.
    if (!defaultFile_.isEmpty()) SaveColorSetting(LocalPath(defaultFile_), working_, dialogs_->Messages());
    accept();
}

void TGradationSet::Btn_CancelClick() {
    result_ = false;
    Revert();
    RefreshDisplay();
    reject();
}
