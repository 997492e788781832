#include "app/mainwindow.h"
#include "form/mainwindowform.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The record's pointers by object name; a missing or misnamed entry is a
// fault that every later slot would trip over.
QList<QPair<QString, QObject *>> recordEntries(const MainWindowForm &f)
{
    return {
        {"centralWidget", f.centralWidget}, {"verticalLayout", f.verticalLayout},
        {"tabWidget", f.tabWidget}, {"tab", f.tab}, {"verticalLayout_2", f.verticalLayout_2},
        {"horizontalLayout_8", f.horizontalLayout_8}, {"label", f.label}, {"comboBox", f.comboBox},
        {"horizontalLayout_2", f.horizontalLayout_2}, {"groupBox_6", f.groupBox_6},
        {"formLayout_4", f.formLayout_4}, {"label_19", f.label_19}, {"label_20", f.label_20},
        {"nbNoirsPayes", f.nbNoirsPayes}, {"nbMises", f.nbMises}, {"groupBox_4", f.groupBox_4},
        {"formLayout_2", f.formLayout_2}, {"label_6", f.label_6}, {"sommeEncaisse", f.sommeEncaisse},
        {"label_9", f.label_9}, {"montantFrais", f.montantFrais}, {"label_10", f.label_10},
        {"sommeNoirs", f.sommeNoirs}, {"label_11", f.label_11}, {"sommePrix", f.sommePrix},
        {"horizontalLayout_6", f.horizontalLayout_6}, {"commandLinkButton", f.commandLinkButton},
        {"commandLinkButton_3", f.commandLinkButton_3}, {"horizontalLayout", f.horizontalLayout},
        {"groupBox_2", f.groupBox_2}, {"horizontalLayout_4", f.horizontalLayout_4},
        {"TextGain", f.TextGain}, {"blason", f.blason}, {"tab_2", f.tab_2},
        {"verticalLayout_3", f.verticalLayout_3}, {"groupBox", f.groupBox}, {"formLayout", f.formLayout},
        {"label_2", f.label_2}, {"tarifMise", f.tarifMise}, {"label_3", f.label_3},
        {"tarifNoir", f.tarifNoir}, {"label_4", f.label_4}, {"gainMini", f.gainMini},
        {"label_5", f.label_5}, {"pourcentFrais", f.pourcentFrais}, {"label_8", f.label_8},
        {"horizontalLayout_7", f.horizontalLayout_7}, {"unEuro", f.unEuro}, {"cinqEuro", f.cinqEuro},
        {"groupBox_5", f.groupBox_5}, {"formLayout_3", f.formLayout_3}, {"label_12", f.label_12},
        {"nbPrix", f.nbPrix}, {"label_13", f.label_13}, {"horizontalLayout_3", f.horizontalLayout_3},
        {"radioPourcent", f.radioPourcent}, {"radioFixe", f.radioFixe}, {"labelPrix1", f.labelPrix1},
        {"valeurPrix1", f.valeurPrix1}, {"labelPrix2", f.labelPrix2}, {"labelPrix3", f.labelPrix3},
        {"labelPrix4", f.labelPrix4}, {"labelPrix5", f.labelPrix5}, {"valeurPrix2", f.valeurPrix2},
        {"valeurPrix3", f.valeurPrix3}, {"valeurPrix4", f.valeurPrix4}, {"valeurPrix5", f.valeurPrix5},
        {"groupBox_3", f.groupBox_3}, {"gridLayout", f.gridLayout}, {"label_7", f.label_7},
        {"blasonPrint", f.blasonPrint}, {"pushButton", f.pushButton},
        {"horizontalLayout_5", f.horizontalLayout_5}, {"commandLinkButton_2", f.commandLinkButton_2},
    };
}

const char *const kFocusOrder[] = {
    "comboBox", "nbMises", "nbNoirsPayes", "commandLinkButton", "commandLinkButton_3",
    "sommeNoirs", "sommePrix", "tabWidget", "sommeEncaisse", "TextGain", "tarifMise",
    "tarifNoir", "gainMini", "pourcentFrais", "unEuro", "cinqEuro", "nbPrix",
    "radioPourcent", "radioFixe", "valeurPrix1", "valeurPrix2", "valeurPrix3",
    "valeurPrix4", "valeurPrix5", "blasonPrint", "pushButton", "commandLinkButton_2",
    "montantFrais",
};

// The form alone, on a plain window: what loadSettings does later must not
// blur what the form itself builds.
struct Form
{
    QMainWindow window;
    MainWindowForm f;
    Form() { f.setupForm(&window); }
    template <typename T = QObject>
    T *get(const QString &name) { return window.findChild<T *>(name); }
};

// Where an object sits in its layout: box index, form row and role, or grid
// cell; -1 when the layout does not hold it.
QPair<int, int> placeIn(QLayout *layout, QObject *object)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() != object && item->layout() != object)
            continue;
        if (auto *form = qobject_cast<QFormLayout *>(layout)) {
            int row = -1;
            QFormLayout::ItemRole role;
            form->getItemPosition(i, &row, &role);
            return {row, int(role)};
        }
        if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            return {rowSpan == 1 && columnSpan == 1 ? row : -2, column};
        }
        return {i, -1};
    }
    return {-1, -1};
}

class ScopedCwd
{
public:
    ScopedCwd() : previous(QDir::currentPath()) { QDir::setCurrent(dir.path()); }
    ~ScopedCwd() { QDir::setCurrent(previous); }
    QTemporaryDir dir;
    QString previous;
};

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void recordPointsAtEveryNamedObject();
    void tree_data();
    void tree();
    void layoutSpacing_data();
    void layoutSpacing();
    void spacers_data();
    void spacers();
    void sizes_data();
    void sizes();
    void spinBoxes_data();
    void spinBoxes();
    void lineEditsStartEmptyAndTotalsAreReadOnly();
    void comboBoxItems();
    void texts_data();
    void texts();
    void fontSizes_data();
    void fontSizes();
    void icons_data();
    void icons();
    void roundingAndPrizeTypeAreIndependentGroups_data();
    void roundingAndPrizeTypeAreIndependentGroups();
    void tabs();
    void focusChain();
    void presetWindowNameIsKept();
    void metaObjectHoldsExactlyTheElevenSlots();
    void slotsAreBoundByName_data();
    void slotsAreBoundByName();
    void windowFlagsAreTheHelpHint();
    void widthIsFixedHeightIsFree();
    void windowIconAndCrest();
    void closingTheWindowEndsTheEventLoopWithZero();
    void programStartsInAnEmptyDirectory();
};

void TestForm::recordPointsAtEveryNamedObject()
{
    Form form;
    const auto entries = recordEntries(form.f);
    QCOMPARE(entries.size(), 74);
    for (const auto &[name, object] : entries) {
        QVERIFY2(object, qPrintable(name));
        QCOMPARE(object->objectName(), name);
        QCOMPARE(form.window.findChildren<QObject *>(name), QList<QObject *>{object});
    }
}

void TestForm::tree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QString>("parentWidget");
    QTest::addColumn<QString>("layout"); // "" = installed on parentWidget
    QTest::addColumn<int>("row");        // box index, form row or grid row
    QTest::addColumn<int>("column");     // form role or grid column, -1 in a box

    const int L = QFormLayout::LabelRole, F = QFormLayout::FieldRole;
    const struct { const char *name, *cls, *parent, *layout; int row, column; } rows[] = {
        {"verticalLayout", "QVBoxLayout", "centralWidget", "", 0, 0},
        {"tabWidget", "QTabWidget", "centralWidget", "verticalLayout", 0, -1},
        {"verticalLayout_2", "QVBoxLayout", "tab", "", 0, 0},
        {"horizontalLayout_8", "QHBoxLayout", "tab", "verticalLayout_2", 0, -1},
        {"label", "QLabel", "tab", "horizontalLayout_8", 1, -1},
        {"comboBox", "QComboBox", "tab", "horizontalLayout_8", 2, -1},
        {"horizontalLayout_2", "QHBoxLayout", "tab", "verticalLayout_2", 1, -1},
        {"groupBox_6", "QGroupBox", "tab", "horizontalLayout_2", 0, -1},
        {"formLayout_4", "QFormLayout", "groupBox_6", "", 0, 0},
        {"label_19", "QLabel", "groupBox_6", "formLayout_4", 0, L},
        {"nbMises", "QSpinBox", "groupBox_6", "formLayout_4", 0, F},
        {"label_20", "QLabel", "groupBox_6", "formLayout_4", 1, L},
        {"nbNoirsPayes", "QSpinBox", "groupBox_6", "formLayout_4", 1, F},
        {"groupBox_4", "QGroupBox", "tab", "horizontalLayout_2", 1, -1},
        {"formLayout_2", "QFormLayout", "groupBox_4", "", 0, 0},
        {"label_6", "QLabel", "groupBox_4", "formLayout_2", 0, L},
        {"sommeEncaisse", "QLineEdit", "groupBox_4", "formLayout_2", 0, F},
        {"label_9", "QLabel", "groupBox_4", "formLayout_2", 1, L},
        {"montantFrais", "QLineEdit", "groupBox_4", "formLayout_2", 1, F},
        {"label_10", "QLabel", "groupBox_4", "formLayout_2", 2, L},
        {"sommeNoirs", "QLineEdit", "groupBox_4", "formLayout_2", 2, F},
        {"label_11", "QLabel", "groupBox_4", "formLayout_2", 3, L},
        {"sommePrix", "QLineEdit", "groupBox_4", "formLayout_2", 3, F},
        {"horizontalLayout_6", "QHBoxLayout", "tab", "verticalLayout_2", 2, -1},
        {"commandLinkButton", "QCommandLinkButton", "tab", "horizontalLayout_6", 1, -1},
        {"commandLinkButton_3", "QCommandLinkButton", "tab", "horizontalLayout_6", 3, -1},
        {"horizontalLayout", "QHBoxLayout", "tab", "verticalLayout_2", 3, -1},
        {"groupBox_2", "QGroupBox", "tab", "horizontalLayout", 0, -1},
        {"horizontalLayout_4", "QHBoxLayout", "groupBox_2", "", 0, 0},
        {"TextGain", "QPlainTextEdit", "groupBox_2", "horizontalLayout_4", 0, -1},
        {"blason", "QLabel", "groupBox_2", "horizontalLayout_4", 1, -1},
        {"verticalLayout_3", "QVBoxLayout", "tab_2", "", 0, 0},
        {"groupBox", "QGroupBox", "tab_2", "verticalLayout_3", 0, -1},
        {"formLayout", "QFormLayout", "groupBox", "", 0, 0},
        {"label_2", "QLabel", "groupBox", "formLayout", 0, L},
        {"tarifMise", "QDoubleSpinBox", "groupBox", "formLayout", 0, F},
        {"label_3", "QLabel", "groupBox", "formLayout", 1, L},
        {"tarifNoir", "QDoubleSpinBox", "groupBox", "formLayout", 1, F},
        {"label_4", "QLabel", "groupBox", "formLayout", 2, L},
        {"gainMini", "QSpinBox", "groupBox", "formLayout", 2, F},
        {"label_5", "QLabel", "groupBox", "formLayout", 3, L},
        {"pourcentFrais", "QSpinBox", "groupBox", "formLayout", 3, F},
        {"label_8", "QLabel", "groupBox", "formLayout", 4, L},
        {"horizontalLayout_7", "QHBoxLayout", "groupBox", "formLayout", 4, F},
        {"unEuro", "QRadioButton", "groupBox", "horizontalLayout_7", 0, -1},
        {"cinqEuro", "QRadioButton", "groupBox", "horizontalLayout_7", 1, -1},
        {"groupBox_5", "QGroupBox", "tab_2", "verticalLayout_3", 1, -1},
        {"formLayout_3", "QFormLayout", "groupBox_5", "", 0, 0},
        {"label_12", "QLabel", "groupBox_5", "formLayout_3", 0, L},
        {"nbPrix", "QSpinBox", "groupBox_5", "formLayout_3", 0, F},
        {"label_13", "QLabel", "groupBox_5", "formLayout_3", 1, L},
        {"horizontalLayout_3", "QHBoxLayout", "groupBox_5", "formLayout_3", 1, F},
        {"radioPourcent", "QRadioButton", "groupBox_5", "horizontalLayout_3", 0, -1},
        {"radioFixe", "QRadioButton", "groupBox_5", "horizontalLayout_3", 1, -1},
        {"labelPrix1", "QLabel", "groupBox_5", "formLayout_3", 2, L},
        {"valeurPrix1", "QSpinBox", "groupBox_5", "formLayout_3", 2, F},
        {"labelPrix2", "QLabel", "groupBox_5", "formLayout_3", 3, L},
        {"valeurPrix2", "QSpinBox", "groupBox_5", "formLayout_3", 3, F},
        {"labelPrix3", "QLabel", "groupBox_5", "formLayout_3", 4, L},
        {"valeurPrix3", "QSpinBox", "groupBox_5", "formLayout_3", 4, F},
        {"labelPrix4", "QLabel", "groupBox_5", "formLayout_3", 5, L},
        {"valeurPrix4", "QSpinBox", "groupBox_5", "formLayout_3", 5, F},
        {"labelPrix5", "QLabel", "groupBox_5", "formLayout_3", 6, L},
        {"valeurPrix5", "QSpinBox", "groupBox_5", "formLayout_3", 6, F},
        {"groupBox_3", "QGroupBox", "tab_2", "verticalLayout_3", 2, -1},
        {"gridLayout", "QGridLayout", "groupBox_3", "", 0, 0},
        {"label_7", "QLabel", "groupBox_3", "gridLayout", 1, 0},
        {"blasonPrint", "QLineEdit", "groupBox_3", "gridLayout", 1, 1},
        {"pushButton", "QPushButton", "groupBox_3", "gridLayout", 1, 2},
        {"horizontalLayout_5", "QHBoxLayout", "tab_2", "verticalLayout_3", 3, -1},
        {"commandLinkButton_2", "QCommandLinkButton", "tab_2", "horizontalLayout_5", 1, -1},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString(r.name) << QByteArray(r.cls) << QString(r.parent)
                              << QString(r.layout) << r.row << r.column;
}

void TestForm::tree()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, className);
    QFETCH(QString, parentWidget);
    QFETCH(QString, layout);
    QFETCH(int, row);
    QFETCH(int, column);

    Form form;
    QObject *object = form.get(name);
    QVERIFY(object);
    QCOMPARE(QByteArray(object->metaObject()->className()), className);
    auto *owner = form.get<QWidget>(parentWidget);
    QVERIFY(owner);
    if (auto *widget = qobject_cast<QWidget *>(object))
        QCOMPARE(widget->parentWidget(), owner);
    else
        QCOMPARE(qobject_cast<QLayout *>(object)->parentWidget(), owner);

    if (layout.isEmpty()) {
        QCOMPARE(owner->layout(), object);
        return;
    }
    auto *container = form.get<QLayout>(layout);
    QVERIFY(container);
    if (auto *nested = qobject_cast<QLayout *>(object))
        QCOMPARE(nested->parent(), container);
    QCOMPARE(placeIn(container, object), qMakePair(row, column));
}

void TestForm::layoutSpacing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("items");

    const struct { const char *name; int margin, items; } rows[] = {
        {"verticalLayout", 11, 1}, {"verticalLayout_2", 11, 4},
        {"horizontalLayout_8", 0, 3}, {"horizontalLayout_2", 0, 2},
        {"formLayout_4", 11, 4}, {"formLayout_2", 11, 8},
        {"horizontalLayout_6", 0, 5}, {"horizontalLayout", 0, 1},
        {"horizontalLayout_4", 11, 2}, {"verticalLayout_3", 11, 5},
        {"formLayout", 11, 10}, {"horizontalLayout_7", 0, 2},
        {"formLayout_3", 11, 14}, {"horizontalLayout_3", 0, 2},
        {"gridLayout", 11, 3}, {"horizontalLayout_5", 0, 3},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString(r.name) << r.margin << r.items;
}

void TestForm::layoutSpacing()
{
    QFETCH(QString, name);
    QFETCH(int, margin);
    QFETCH(int, items);

    Form form;
    auto *layout = form.get<QLayout>(name);
    QVERIFY(layout);
    QCOMPARE(layout->spacing(), 6);
    QCOMPARE(layout->contentsMargins(), QMargins(margin, margin, margin, margin));
    QCOMPARE(layout->count(), items);
    if (auto *formLayout = qobject_cast<QFormLayout *>(layout)) {
        QCOMPARE(formLayout->horizontalSpacing(), 6);
        QCOMPARE(formLayout->verticalSpacing(), 6);
    }
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        QCOMPARE(grid->rowCount(), 2); // row 0 stays empty
        QCOMPARE(grid->horizontalSpacing(), 6);
        QCOMPARE(grid->verticalSpacing(), 6);
    }
}

void TestForm::spacers_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("vertical");

    QTest::newRow("before the title") << "horizontalLayout_8" << 0 << false;
    QTest::newRow("before Calculer") << "horizontalLayout_6" << 0 << false;
    QTest::newRow("between the buttons") << "horizontalLayout_6" << 2 << false;
    QTest::newRow("after Imprimer") << "horizontalLayout_6" << 4 << false;
    QTest::newRow("before Sauvegarder") << "horizontalLayout_5" << 0 << false;
    QTest::newRow("after Sauvegarder") << "horizontalLayout_5" << 2 << false;
    QTest::newRow("below the settings") << "verticalLayout_3" << 4 << true;
}

void TestForm::spacers()
{
    QFETCH(QString, layout);
    QFETCH(int, index);
    QFETCH(bool, vertical);

    Form form;
    QSpacerItem *spacer = form.get<QLayout>(layout)->itemAt(index)->spacerItem();
    QVERIFY(spacer);
    const QList<QSpacerItem *> record = {
        form.f.horizontalSpacer, form.f.horizontalSpacer_2, form.f.horizontalSpacer_3,
        form.f.horizontalSpacer_4, form.f.horizontalSpacer_5, form.f.horizontalSpacer_6,
        form.f.verticalSpacer};
    QVERIFY(record.contains(spacer));
    QCOMPARE(spacer->sizeHint(), vertical ? QSize(20, 40) : QSize(40, 20));
    QCOMPARE(spacer->sizePolicy().horizontalPolicy(),
             vertical ? QSizePolicy::Minimum : QSizePolicy::Expanding);
    QCOMPARE(spacer->sizePolicy().verticalPolicy(),
             vertical ? QSizePolicy::Expanding : QSizePolicy::Minimum);
}

void TestForm::sizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSizePolicy::Policy>("horizontal");
    QTest::addColumn<QSizePolicy::Policy>("vertical");
    QTest::addColumn<QSize>("minimum");

    QTest::newRow("label") << "label" << QSizePolicy::Preferred << QSizePolicy::Fixed << QSize(0, 0);
    QTest::newRow("comboBox") << "comboBox" << QSizePolicy::Fixed << QSizePolicy::Fixed << QSize(240, 40);
    QTest::newRow("blason") << "blason" << QSizePolicy::Fixed << QSizePolicy::Fixed << QSize(220, 300);
    QTest::newRow("pushButton") << "pushButton" << QSizePolicy::Fixed << QSizePolicy::Fixed << QSize(30, 0);
    QTest::newRow("commandLinkButton_2") << "commandLinkButton_2" << QSizePolicy::Preferred
                                         << QSizePolicy::Maximum << QSize(0, 0);
}

void TestForm::sizes()
{
    QFETCH(QString, name);
    QFETCH(QSizePolicy::Policy, horizontal);
    QFETCH(QSizePolicy::Policy, vertical);
    QFETCH(QSize, minimum);

    Form form;
    auto *widget = form.get<QWidget>(name);
    const QSizePolicy policy = widget->sizePolicy();
    QCOMPARE(policy.horizontalPolicy(), horizontal);
    QCOMPARE(policy.verticalPolicy(), vertical);
    QCOMPARE(policy.horizontalStretch(), 0);
    QCOMPARE(policy.verticalStretch(), 0);
    QCOMPARE(widget->minimumSize(), minimum);
}

void TestForm::spinBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("bets stop at 9999") << "nbMises" << 0.0 << 9999.0 << 0.0 << "";
    QTest::newRow("blacks stop at 9999") << "nbNoirsPayes" << 0.0 << 9999.0 << 0.0 << "";
    QTest::newRow("bet price in euros") << "tarifMise" << 0.0 << 99.99 << 3.5 << " €";
    QTest::newRow("black price in euros") << "tarifNoir" << 0.0 << 99.99 << 0.5 << " €";
    QTest::newRow("minimum gain in euros") << "gainMini" << 0.0 << 99.0 << 3.0 << " €";
    QTest::newRow("costs in percent") << "pourcentFrais" << 0.0 << 99.0 << 20.0 << " %";
    QTest::newRow("one to five prizes") << "nbPrix" << 1.0 << 5.0 << 1.0 << "";
    QTest::newRow("prize 1 stops at 9999") << "valeurPrix1" << 0.0 << 9999.0 << 0.0 << "";
    QTest::newRow("prize 2 stops at 99999") << "valeurPrix2" << 0.0 << 99999.0 << 0.0 << "";
    QTest::newRow("prize 3 stops at 9999") << "valeurPrix3" << 0.0 << 9999.0 << 0.0 << "";
    QTest::newRow("prize 4 stops at 9999") << "valeurPrix4" << 0.0 << 9999.0 << 0.0 << "";
    QTest::newRow("prize 5 stops at 9999") << "valeurPrix5" << 0.0 << 9999.0 << 0.0 << "";
}

void TestForm::spinBoxes()
{
    QFETCH(QString, name);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(QString, suffix);

    Form form;
    auto *box = form.get<QAbstractSpinBox>(name);
    QVERIFY(box);
    QCOMPARE(box->property("minimum").toDouble(), minimum);
    QCOMPARE(box->property("maximum").toDouble(), maximum);
    QCOMPARE(box->property("singleStep").toDouble(), 1.0);
    QCOMPARE(box->property("value").toDouble(), value);
    QCOMPARE(box->property("suffix").toString(), suffix);
    if (auto *price = qobject_cast<QDoubleSpinBox *>(box))
        QCOMPARE(price->decimals(), 2);
}

void TestForm::lineEditsStartEmptyAndTotalsAreReadOnly()
{
    Form form;
    for (const char *name : {"sommeEncaisse", "montantFrais", "sommeNoirs", "sommePrix"}) {
        QVERIFY2(form.get<QLineEdit>(name)->isReadOnly(), name);
        QCOMPARE(form.get<QLineEdit>(name)->text(), QString());
    }
    QVERIFY(!form.f.blasonPrint->isReadOnly());
    QCOMPARE(form.f.blasonPrint->text(), QString());
    QVERIFY(!form.f.TextGain->isReadOnly());
    QCOMPARE(form.f.TextGain->toPlainText(), QString());
}

void TestForm::comboBoxItems()
{
    Form form;
    QComboBox *combo = form.f.comboBox;
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QString("arc classique"));
    QCOMPARE(combo->itemText(1), QString("arc poulie"));
    QCOMPARE(combo->itemText(2), QString("arc droit"));
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(combo->currentText(), QString("arc classique"));
    QCOMPARE(combo->styleSheet(), QString("border: 0px solid gray;\nborder-radius: 0px;\n"
                                          "padding: 1px 18px 1px 3px;"));
    QCOMPARE(combo->iconSize(), QSize(32, 32));
}

void TestForm::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("expected");

    const QString html = "<html><head/><body><p>%1</p></body></html>";
    const struct { const char *name, *property; QString text; } rows[] = {
        {"MainWindow", "windowTitle", "Calcul Prix généraux"},
        {"MainWindow", "whatsThis", html.arg("<br/>")},
        {"groupBox_6", "title", "Fréquentation"},
        {"label_19", "text", "Nombre de mises"},
        {"label_20", "text", "Nombre de noirs remboursés"},
        {"nbNoirsPayes", "whatsThis", html.arg("Saisir le nombre de noirs payés aux archers")},
        {"nbMises", "whatsThis", html.arg("Saisir le nombre de mises encaissées")},
        {"groupBox_4", "title", "Bilan"},
        {"label_6", "text", "Somme totale encaissée"},
        {"label_9", "text", "Montant des frais"},
        {"label_10", "text", "Somme des Noirs Payés"},
        {"label_11", "text", "Somme des prix distribués"},
        {"commandLinkButton", "text", "Calculer"},
        {"commandLinkButton", "description", ""},
        {"commandLinkButton", "whatsThis", html.arg("Calculer le montant des prix dû aux archers")},
        {"commandLinkButton_3", "text", "Imprimer"},
        {"commandLinkButton_3", "description", ""},
        {"commandLinkButton_3", "whatsThis", html.arg("Imprimer en PDF le résultat du calcul")},
        {"groupBox_2", "title", "Gain"},
        {"blason", "text", ""},
        {"blason", "whatsThis", "<html><head/><body><p>Développé par Jovenard</p>"
                                "<p>Compagnie d'arc de CASTELBRUNE</p><p><img src=\":/blasonCIE.png\" "
                                "height=\"200\"/></p></body></html>"},
        {"groupBox", "title", "Général"},
        {"label_2", "text", "Tarif de la mise"},
        {"label_3", "text", "Tarif des noirs"},
        {"label_4", "text", "Gain Minimum"},
        {"label_5", "text", "Pourcentage de frais"},
        {"label_8", "text", "Arrondir les sommes à"},
        {"unEuro", "text", "1 €"},
        {"cinqEuro", "text", "5€"},
        {"groupBox_5", "title", "Prix"},
        {"label_12", "text", "Nombre de prix"},
        {"label_13", "text", "Type de gain"},
        {"radioPourcent", "text", "Pourcentage"},
        {"radioFixe", "text", "Fixe"},
        {"labelPrix1", "text", "1er prix"},
        {"labelPrix2", "text", "2ème prix"},
        {"labelPrix3", "text", "3ème prix"},
        {"labelPrix4", "text", "4ème prix"},
        {"labelPrix5", "text", "5ème prix"},
        {"groupBox_3", "title", "Divers"},
        {"label_7", "text", "Blason à utiliser pour l'impression "},
        {"pushButton", "text", "..."},
        {"pushButton", "whatsThis", "Parcourir le disque dur pour trouver l'image souhaiter"},
        {"commandLinkButton_2", "text", "Sauvegarder"},
        {"commandLinkButton_2", "description", ""},
        {"commandLinkButton_2", "whatsThis", ""},
    };
    for (const auto &r : rows)
        QTest::addRow("%s %s", r.name, r.property)
            << QString(r.name) << QByteArray(r.property) << r.text;
}

void TestForm::texts()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, property);
    QFETCH(QString, expected);

    Form form;
    QObject *object = name == "MainWindow" ? &form.window : form.get(name);
    QVERIFY(object);
    QCOMPARE(object->property(property.constData()).toString(), expected);
}

void TestForm::fontSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("points");

    const int standard = QApplication::font().pointSize();
    QTest::newRow("title label") << "label" << 20;
    QTest::newRow("category box") << "comboBox" << 20;
    QTest::newRow("prize list") << "TextGain" << 12;
    QTest::newRow("plain label") << "label_19" << standard;
    QTest::newRow("plain spin box") << "nbMises" << standard;
}

void TestForm::fontSizes()
{
    QFETCH(QString, name);
    QFETCH(int, points);

    Form form;
    const QFont font = form.get<QWidget>(name)->font();
    QCOMPARE(font.pointSize(), points);
    // Only the size is ours; everything else follows the application.
    QCOMPARE(font.family(), QApplication::font().family());
    QCOMPARE(font.bold(), QApplication::font().bold());
}

void TestForm::icons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");

    QTest::newRow("Calculer") << "commandLinkButton" << ":/roue.png";
    QTest::newRow("Imprimer") << "commandLinkButton_3" << ":/printer.png";
    QTest::newRow("Sauvegarder") << "commandLinkButton_2" << ":/disquette.png";
}

void TestForm::icons()
{
    QFETCH(QString, name);
    QFETCH(QString, path);

    Form form;
    auto *button = form.get<QAbstractButton>(name);
    QCOMPARE(button->iconSize(), QSize(50, 50));
    const QImage source(path);
    QVERIFY(!source.isNull());
    // The icon's only size is its source's, so a wrong path shows up here.
    QCOMPARE(button->icon().availableSizes(), QList<QSize>{source.size()});
}

void TestForm::roundingAndPrizeTypeAreIndependentGroups_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QList<bool>>("checked"); // unEuro, cinqEuro, radioPourcent, radioFixe

    QTest::newRow("as built") << QStringList{} << QList<bool>{false, false, true, false};
    QTest::newRow("5 euros leaves percentage") << QStringList{"cinqEuro"}
                                               << QList<bool>{false, true, true, false};
    QTest::newRow("1 euro unchecks 5 euros") << QStringList{"cinqEuro", "unEuro"}
                                             << QList<bool>{true, false, true, false};
    QTest::newRow("fixed leaves rounding") << QStringList{"unEuro", "radioFixe"}
                                           << QList<bool>{true, false, false, true};
    QTest::newRow("percentage unchecks fixed") << QStringList{"radioFixe", "cinqEuro", "radioPourcent"}
                                               << QList<bool>{false, true, true, false};
}

void TestForm::roundingAndPrizeTypeAreIndependentGroups()
{
    QFETCH(QStringList, clicks);
    QFETCH(QList<bool>, checked);

    Form form;
    form.f.tabWidget->setCurrentIndex(1);
    form.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    // A radio button only takes clicks on its indicator and text.
    for (const QString &name : clicks) {
        auto *radio = form.get<QRadioButton>(name);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, radio->height() / 2));
    }
    const QList<bool> states = {form.f.unEuro->isChecked(), form.f.cinqEuro->isChecked(),
                                form.f.radioPourcent->isChecked(), form.f.radioFixe->isChecked()};
    QCOMPARE(states, checked);
}

void TestForm::tabs()
{
    Form form;
    QTabWidget *tabs = form.f.tabWidget;
    QCOMPARE(tabs->tabPosition(), QTabWidget::South);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->widget(0), form.f.tab);
    QCOMPARE(tabs->widget(1), form.f.tab_2);
    QCOMPARE(tabs->tabText(0), QString("Calcul"));
    QCOMPARE(tabs->tabText(1), QString("Configuration"));
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(form.window.centralWidget(), form.f.centralWidget);
    QCOMPARE(form.f.centralWidget->parentWidget(), &form.window);
    QCOMPARE(form.window.iconSize(), QSize(24, 24));
    QVERIFY(!form.window.autoFillBackground());
    QVERIFY(!form.window.menuWidget());
    QVERIFY(!form.window.findChild<QStatusBar *>());
    QVERIFY(!form.window.findChild<QToolBar *>());
}

void TestForm::focusChain()
{
    Form form;
    QList<QWidget *> listed;
    for (const char *name : kFocusOrder)
        listed << form.get<QWidget>(name);
    QCOMPARE(listed.size(), 28);
    QVERIFY(!listed.contains(nullptr));

    // Qt may put a widget's own children (a spin box's editor, the tab bar)
    // in between; no other listed widget may come first.
    for (int i = 0; i + 1 < listed.size(); ++i) {
        QWidget *next = listed[i]->nextInFocusChain();
        for (int steps = 0; next != listed[i + 1] && steps < 500; ++steps) {
            QVERIFY2(!listed.contains(next),
                     qPrintable(QString("%1 reaches %2 before %3").arg(kFocusOrder[i],
                         next->objectName(), kFocusOrder[i + 1])));
            next = next->nextInFocusChain();
        }
        QCOMPARE(next, listed[i + 1]);
    }
}

void TestForm::presetWindowNameIsKept()
{
    QMainWindow window;
    window.setObjectName("autre");
    MainWindowForm f;
    f.setupForm(&window);
    QCOMPARE(window.objectName(), QString("autre"));
}

void TestForm::metaObjectHoldsExactlyTheElevenSlots()
{
    const QMetaObject &meta = MainWindow::staticMetaObject;
    QCOMPARE(meta.className(), "MainWindow");
    QCOMPARE(meta.superClass(), &QMainWindow::staticMetaObject);
    const QByteArrayList expected = {
        "on_nbPrix_valueChanged(int)", "on_radioPourcent_clicked(bool)",
        "on_radioFixe_clicked(bool)", "on_commandLinkButton_2_clicked()",
        "on_nbMises_valueChanged(int)", "on_nbNoirsPayes_valueChanged(int)",
        "on_commandLinkButton_clicked()", "on_commandLinkButton_3_clicked()",
        "on_pushButton_clicked()", "on_unEuro_clicked(bool)", "on_cinqEuro_clicked(bool)"};
    QByteArrayList own;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        own << method.methodSignature();
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
        QCOMPARE(method.returnType(), int(QMetaType::Void));
    }
    QCOMPARE(own, expected);
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QCOMPARE(meta.enumeratorCount(), meta.enumeratorOffset());
    QCOMPARE(meta.classInfoCount(), meta.classInfoOffset());
    QCOMPARE(meta.constructorCount(), 0);
}

void TestForm::slotsAreBoundByName_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QByteArray>("slot");

    const char *const rows[][2] = {
        {"nbPrix", "valueChanged(int)"}, {"radioPourcent", "clicked(bool)"},
        {"radioFixe", "clicked(bool)"}, {"commandLinkButton_2", "clicked()"},
        {"nbMises", "valueChanged(int)"}, {"nbNoirsPayes", "valueChanged(int)"},
        {"commandLinkButton", "clicked()"}, {"commandLinkButton_3", "clicked()"},
        {"pushButton", "clicked()"}, {"unEuro", "clicked(bool)"}, {"cinqEuro", "clicked(bool)"},
    };
    for (const auto &r : rows) {
        const QByteArray signal(r[1]);
        const QByteArray slot = "on_" + QByteArray(r[0]) + '_' + signal;
        QTest::newRow(slot.constData()) << QString(r[0]) << signal << slot;
    }
}

void TestForm::slotsAreBoundByName()
{
    QFETCH(QString, sender);
    QFETCH(QByteArray, signal);
    QFETCH(QByteArray, slot);

    ScopedCwd cwd;
    QTest::failOnWarning(QRegularExpression("connectSlotsByName"));
    MainWindow window;
    QObject *source = window.findChild<QObject *>(sender);
    QVERIFY(source);
    // A successful disconnect proves the binding; a second one would mean
    // the slot ran twice per signal.
    const QByteArray signalCode = QByteArray::number(QSIGNAL_CODE) + signal;
    const QByteArray slotCode = QByteArray::number(QSLOT_CODE) + slot;
    QVERIFY(QObject::disconnect(source, signalCode.constData(), &window, slotCode.constData()));
    QVERIFY(!QObject::disconnect(source, nullptr, &window, slotCode.constData()));
}

void TestForm::windowFlagsAreTheHelpHint()
{
    ScopedCwd cwd;
    MainWindow window;
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(window.isWindow());
    QVERIFY(flags.testFlag(Qt::WindowContextHelpButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(flags & ~(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint),
             Qt::WindowFlags(Qt::WindowContextHelpButtonHint));
    QCOMPARE(window.windowTitle(), QString("Calcul Prix généraux"));
    QCOMPARE(window.objectName(), QString("MainWindow"));
    QCOMPARE(window.findChild<QTabWidget *>("tabWidget")->currentIndex(), 0);
}

void TestForm::widthIsFixedHeightIsFree()
{
    ScopedCwd cwd;
    MainWindow window;
    QCOMPARE(window.size(), QSize(675, 653));
    QCOMPARE(window.minimumSize(), QSize(675, 0));
    QCOMPARE(window.maximumSize(), QSize(675, QWIDGETSIZE_MAX));
    QCOMPARE(window.sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
    QCOMPARE(window.sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(900, 900);
    QTRY_COMPARE(window.height(), 900);
    QCOMPARE(window.width(), 675);
    window.resize(300, 800);
    QTRY_COMPARE(window.height(), 800);
    QCOMPARE(window.width(), 675);
}

void TestForm::windowIconAndCrest()
{
    ScopedCwd cwd;
    MainWindow window;
    QVERIFY(QImage(":/blason.gif").isNull());
    QVERIFY(window.windowIcon().availableSizes().isEmpty());
    QVERIFY(window.windowIcon().pixmap(32, 32).isNull());

    auto *crest = window.findChild<QLabel *>("blason");
    QCOMPARE(crest->pixmap().size(), QSize(241, 297));
    QVERIFY(!crest->hasScaledContents());
    QCOMPARE(QImage(":/blasonCIE.png").size(), QSize(750, 1000)); // shown in the crest's help
    QCOMPARE(crest->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             QImage(":/blason.png").convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestForm::closingTheWindowEndsTheEventLoopWithZero()
{
    ScopedCwd cwd;
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTimer::singleShot(0, &window, &QWidget::close);
    QTimer guard; // turns a loop that never ends into a failure
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window.isVisible());
    QVERIFY(QDir(cwd.dir.path()).isEmpty());
}

void TestForm::programStartsInAnEmptyDirectory()
{
    QTemporaryDir dir;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(dir.path());
    program.start(PRIXGENERAL_EXE, {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    // Still up after a second: it built its window and sits in the event loop.
    QVERIFY2(!program.waitForFinished(1000), program.readAllStandardError().constData());
    QCOMPARE(program.state(), QProcess::Running);
    QVERIFY(QDir(dir.path()).isEmpty());
    program.terminate();
    QVERIFY(program.waitForFinished(5000));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
