// The controls of the main window, laid out from the design table in twips.
#include "seite1.h"
#include "seite1_build.h"

#include "germanformat.h"
#include "kern.h"
#include "linebreakfilter.h"
#include "resultgrid.h"
#include "resulttablemodel.h"
#include "twips.h"

#include "classicframe.h"
#include "linecontrol.h"
#include "textfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QProxyStyle>
#include <QPushButton>
#include <QTableView>

using namespace Seite1Build;

namespace {

// What a screen reader says for a box of the track table: its column, as the headings above
// it read, and its row; the frame's title alone would name all fifty boxes alike.
QString trackBoxName(const char* column, int row) {
    return QStringLiteral("%1, Gleis %2").arg(QString::fromUtf8(column)).arg(row);
}

// The grid's headings carry long texts ("Anzahl Gleise") in narrow columns; the style's usual
// margin around a heading would cut them off.
class NarrowHeadingStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_HeaderMargin)
            return 1;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

namespace Seite1Build {

QLabel* makeLabel(QWidget* parent, const char* name, int index, const QString& caption,
                  Qt::Alignment align, double l, double t, double w, double h) {
    auto* label = make<QLabel>(parent, name, index);
    label->setText(caption);
    label->setAlignment(align);
    label->setWordWrap(true);
    place(label, l, t, w, h);
    return label;
}

BoxRule ruleOf(const QObject* box) {
    return BoxRule(box->property("sfxRule").toInt());
}

QLineEdit* makeBox(QWidget* parent, QObject* filter, const char* name, int index, double l,
                   double t, double w, double h, BoxRule rule) {
    auto* e = make<QLineEdit>(parent, name, index);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setProperty("sfxRule", int(rule));
    LineBreakFilter::attach(e, rule == BoxRule::Length ? Kern::BoxKind::Length
                               : rule == BoxRule::None ? Kern::BoxKind::Free
                                                       : Kern::BoxKind::Digits);
    if (rule != BoxRule::None) // composed input would bypass the typing rules
        e->setAttribute(Qt::WA_InputMethodEnabled, false);
    place(e, l, t, w, h);
    e->installEventFilter(filter);
    return e;
}

} // namespace Seite1Build

void Seite1::buildControls() {
    buildFrames();
    buildTrackTable();
    buildRouteSettings();
    buildResultArea();
    buildTabOrder();
}

// The frames and the controls directly on the window.
void Seite1::buildFrames() {
    m_frame3 = make<ClassicFrame>(m_client, "Frame3");
    m_frame3->setTitle(QStringLiteral("Gleiswahl"));
    place(m_frame3, 30, 450, 4185, 3855);
    m_frame2 = make<ClassicFrame>(m_client, "Frame2");
    m_frame2->setTitle(QStringLiteral("Strecken- und Kombinationswahl"));
    place(m_frame2, 4320, 450, 3525, 1785);
    m_frame1 = make<ClassicFrame>(m_client, "Frame1");
    place(m_frame1, 30, 4350, 9375, 4065);

    m_command1 = make<QPushButton>(m_client, "Command1");
    m_command1->setText(QStringLiteral("&Start Berechnung"));
    place(m_command1, 5850, 2760, 1995, 645);
    m_command1->setAccessibleName(QStringLiteral("Start Berechnung"));
    connect(m_command1, &QPushButton::clicked, this, &Seite1::Command1_Click);

    m_label1 = makeLabel(m_client, "Label1", -1, QStringLiteral("Ergebnis:"), Qt::AlignCenter, 4410,
                         3660, 3405, 465);
    QFont bold = m_label1->font();
    bold.setBold(true);
    m_label1->setFont(bold);
    m_label1->setAutoFillBackground(true);
    m_label1->setBackgroundRole(QPalette::Window);
}

void Seite1::buildTrackTable() {
    const Qt::Alignment centre = Qt::AlignCenter;
    makeLabel(m_frame3, "Label5", 1, QStringLiteral("Artikel- Nr"), centre, 510, 240, 525, 375);
    makeLabel(m_frame3, "Label5", 2, QStringLiteral("Länge (mm)"), centre, 1200, 210, 525, 375);
    makeLabel(m_frame3, "Label5", 3, QStringLiteral("Anzahl"), centre, 1890, 210, 1335, 225);
    makeLabel(m_frame3, "Label5", 0, QStringLiteral("min.        max."), centre, 1890, 420, 1335,
              225);
    makeLabel(m_frame3, "Label5", 4, QStringLiteral("Preis je Gleis"), centre, 3390, 210, 555, 375);
    auto* line2 = make<LineControl>(m_frame3, "Line2");
    line2->setLine(480, 660, 3950, 660);

    for (int i = 1; i <= Kern::TrackRows; ++i) {
        const auto r = std::size_t(i);
        const double top = 720 + 300 * (i - 1);
        auto* c = make<QCheckBox>(m_frame3, "Check1", i);
        c->setChecked(true);
        place(c, 210, top + 30, 225, 225);
        c->setAccessibleName(QStringLiteral("Gleis %1 verwenden").arg(i));
        m_check[r] = c;
        m_text6[r] = makeBox(m_frame3, this, "Text6", i, 480, top, 585, 285, BoxRule::None);
        m_text3[r] = makeBox(m_frame3, this, "Text3", i, 1170, top, 585, 285, BoxRule::Length);
        m_text3[r]->setText(QStringLiteral("0.0"));
        m_text4[r] = makeBox(m_frame3, this, "Text4", i, 1860, top, 585, 285, BoxRule::Minimum);
        m_text4[r]->setText(QStringLiteral("0"));
        m_text5[r] = makeBox(m_frame3, this, "Text5", i, 2550, top, 585, 285, BoxRule::Maximum);
        m_text5[r]->setText(QStringLiteral("9999"));
        m_text7[r] = makeBox(m_frame3, this, "Text7", i, 3360, top, 585, 285, BoxRule::None);
        m_text7[r]->setText(QStringLiteral("0,00"));
        m_text6[r]->setAccessibleName(trackBoxName("Artikel-Nr", i));
        m_text3[r]->setAccessibleName(trackBoxName("Länge (mm)", i));
        m_text4[r]->setAccessibleName(trackBoxName("Anzahl min.", i));
        m_text5[r]->setAccessibleName(trackBoxName("Anzahl max.", i));
        m_text7[r]->setAccessibleName(trackBoxName("Preis je Gleis", i));
    }
}

void Seite1::buildRouteSettings() {
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    makeLabel(m_frame2, "Label0", -1, QStringLiteral("Länge                 Max. Abweichungen"),
              left, 390, 240, 2895, 195)
        ->setWordWrap(false);
    makeLabel(m_frame2, "Label2", -1,
              QStringLiteral("(mm)                   (mm)                (mm)"), left, 450, 450,
              2745, 255)
        ->setWordWrap(false);
    auto* line1 = make<LineControl>(m_frame2, "Line1");
    line1->setLine(180, 675, 3375, 675);
    m_text2 = makeBox(m_frame2, this, "Text2", -1, 180, 750, 885, 315, BoxRule::Length);
    m_combo1 = make<QComboBox>(m_frame2, "Combo1");
    m_combo2 = make<QComboBox>(m_frame2, "Combo2");
    for (int d = 0; d <= 10; ++d) {
        const QString magnitude = Kern::formatPattern(d / 10.0, QStringLiteral("0.0"));
        m_combo1->addItem(d == 0 ? magnitude : QStringLiteral("-") + magnitude, d);
        m_combo2->addItem(d == 0 ? magnitude : QStringLiteral("+") + magnitude, d);
    }
    // The lists would otherwise be named by the value they show, alike for minus and plus. On
    // Linux a list's own name is its value, and a screen reader names it by the label linked to
    // it; the heading above serves all three boxes at once, so each list gets a label of its own
    // that is never shown.
    m_text2->setAccessibleName(QStringLiteral("Streckenlänge (mm)"));
    for (QComboBox* list : {m_combo1, m_combo2}) {
        const QString name = list == m_combo1 ? QStringLiteral("Max. Abweichung minus (mm)")
                                              : QStringLiteral("Max. Abweichung plus (mm)");
        list->setAccessibleName(name);
        auto* label = new QLabel(name, m_frame2);
        label->setBuddy(list);
        label->hide();
    }
    m_combo1->setMaxVisibleItems(11);
    m_combo2->setMaxVisibleItems(11);
    place(m_combo1, 1410, 750, 885, 315);
    place(m_combo2, 2460, 750, 885, 315);
    QLabel* label3 = makeLabel(m_frame2, "Label3", -1, QStringLiteral("Maximale Kombinationen"),
                               left, 240, 1230, 1995, 225);
    label3->setWordWrap(false);
    m_text1 = makeBox(m_frame2, this, "Text1", -1, 2460, 1200, 885, 285, BoxRule::None);
    label3->setBuddy(m_text1);
    m_text1->setAccessibleName(QStringLiteral("Maximale Kombinationen"));
    m_text1->setMaxLength(3);
    m_text1->setAlignment(left);
}

void Seite1::buildResultArea() {
    m_grid = make<QTableView>(m_frame1, "Grid");
    place(m_grid, 90, 450, 9225, 3585);
    m_grid->setAccessibleName(QStringLiteral("Ergebnis"));
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    QHeaderView* header = m_grid->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(1);
    header->setDefaultAlignment(Qt::AlignCenter);
    auto* headingStyle = new NarrowHeadingStyle;
    headingStyle->setParent(header);
    header->setStyle(headingStyle);
    connect(header, &QHeaderView::sectionClicked, this, &Seite1::Grid_Click);
    connect(m_grid, &QTableView::clicked, this,
            [this](const QModelIndex& index) { Grid_Click(index.column()); });

    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    makeLabel(m_frame1, "Label4", 0, QStringLiteral("Strecke (mm)"), left, 900, 150, 1215, 225)
        ->setWordWrap(false);
    makeLabel(m_frame1, "Label4", 1, QStringLiteral("Gleistypen (mm)"), left, 4200, 150, 1485, 225)
        ->setWordWrap(false);
}

// Keyboard order: row by row, then the route settings and the start button.
void Seite1::buildTabOrder() {
    using Widgets = std::initializer_list<QWidget*>;
    QWidget* previous = nullptr;
    auto chain = [&previous](Widgets widgets) {
        for (QWidget* w : widgets) {
            if (previous)
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
    };
    for (std::size_t r = 1; r <= std::size_t(Kern::TrackRows); ++r)
        chain(Widgets{m_check[r], m_text6[r], m_text3[r], m_text4[r], m_text5[r], m_text7[r]});
    chain(Widgets{m_text2, m_combo1, m_combo2, m_text1, m_command1});
}

void Seite1::applyGridLayout() {
    const Kern::ResultColumns columns = m_model->columns();
    QHeaderView* header = m_grid->horizontalHeader();
    for (int c = 0; c < columns.count(); ++c)
        header->resizeSection(
            c, Twips::toPx(ResultGrid::columnWidthTwips(columns, c, m_screen), this));
    const int headingPx = Twips::toPx(ResultGrid::headingHeightTwips(m_screen), this);
    header->setFixedHeight(headingPx);
    m_grid->verticalHeader()->setDefaultSectionSize(headingPx);
    TextFit::fitHeadings(header, m_grid->font().pointSizeF());
}
