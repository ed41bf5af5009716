#include "reports/CalMF.h"

#include <QPushButton>
#include <QResizeEvent>

#include "core/LeaveTotals.h"
#include "platform/FormStream.h"
#include "platform/Text.h"
#include "reports/TotalsRequest.h"
#include "reports/TotalsWindow.h"
#include "widgets/CmbGrid.h"

LongLivedWindow<TCalMForm> CalMForm;

namespace {

// The table's fixed texts as the window keeps them: the headings of row 0,
// the months April to March down column 0 (full-width digits for one-digit
// months), and the total row.
QByteArray StoredCellData()
{
    TWriter writer;
    writer.WriteListBegin();
    const char16_t* headings[] = { u"月", u"１日休暇", u"AM休暇", u"PM休暇", u"合計" };
    for (int col = 0; col < 5; ++col) {
        writer.WriteInteger(col);
        writer.WriteInteger(0);
        writer.WriteString(QString::fromUtf16(headings[col]));
    }
    const char16_t* months[]
        = { u"４", u"５", u"６", u"７", u"８", u"９", u"10", u"11", u"12", u"１", u"２", u"３", u"合計" };
    for (int row = 1; row <= 13; ++row) {
        writer.WriteInteger(0);
        writer.WriteInteger(row);
        writer.WriteString(QString::fromUtf16(months[row - 1]));
    }
    writer.WriteListEnd();
    return writer.Data();
}

// Every column a text column with a 2-pixel margin, vertically centred;
// the headings centred, the figures right-aligned.
QByteArray StoredCellKind()
{
    TWriter writer;
    writer.WriteListBegin();
    for (int col = 0; col < 5; ++col) {
        writer.WriteInteger(ckEdit);
        writer.WriteInteger(caCenter | caVCenter); // FixedAlign
        writer.WriteInteger(col == 0 ? caCenter | caVCenter : caRight | caVCenter); // Align
        writer.WriteInteger(2); // no edit mask, no number format
        writer.WriteString(QString());
        writer.WriteString(QString());
        writer.WriteInteger(0); // DropDownWidth
        writer.WriteInteger(2); // Margin
        writer.WriteInteger(0); // EditLimit
        writer.WriteBoolean(true); // Editable
    }
    writer.WriteListEnd();
    return writer.Data();
}

QString Days(float value) { return Text::FormatFloat(QStringLiteral("0.0"), double(value)); }

} // namespace

QString MonthlyTotalsCaptionPrefix() { return QStringLiteral("月別休暇日数集計－"); }

TCalMForm::TCalMForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    CalMForm = this;
    setupUi();
}

TCalMForm::~TCalMForm()
{
    if (CalMForm.Existing() == this)
        CalMForm = nullptr;
}

void TCalMForm::setupUi()
{
    setObjectName(QStringLiteral("CalMForm"));
    setWindowTitle(MonthlyTotalsCaptionPrefix());

    BitBtn1 = MakeCloseButton(*this);

    ComboGrid1 = new TComboGrid(this);
    TComboGrid& grid = *ComboGrid1;
    grid.setObjectName(QStringLiteral("ComboGrid1"));
    grid.setAccessibleName(QStringLiteral("月別休暇日数"));
    grid.setGeometry(16, 48, 345, 209);
    grid.SetColCount(5);
    grid.SetRowCount(14);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.SetDefaultColWidth(64);
    grid.SetDefaultRowHeight(24);
    grid.SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);
    grid.LoadCellData(StoredCellData());
    grid.LoadCellKind(StoredCellKind());

    resize(386, 300);
}

void TCalMForm::ShowTotals(int fiscalYear)
{
    setWindowTitle(MonthlyTotalsCaptionPrefix() + QString::number(fiscalYear) + QStringLiteral("年度"));
    ShowForRequest(*this);
    Fill();
}

void TCalMForm::Fill()
{
    const int fiscalYear = CaptionFiscalYear(windowTitle(), MonthlyTotalsCaptionPrefix());
    const MonthlyPaidLeave leave = TotalPaidLeaveByMonth(CollectFiscalYearCodes(fiscalYear));
    TComboGrid& grid = *ComboGrid1;
    for (int slot = 1; slot <= MonthlyPaidLeave::YearSlot; ++slot) {
        for (int kind = 0; kind < 3; ++kind)
            grid.SetCells(kind + 1, slot, QString::number(leave.Count(kind, slot)));
        grid.SetCells(4, slot, Days(leave.Days(slot)));
    }
    grid.update();
}

void TCalMForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (ComboGrid1)
        ComboGrid1->resize(std::max(width() - 35, 0), std::max(height() - 90, 0));
}
