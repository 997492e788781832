#pragma once

class QComboBox;
class QCommandLinkButton;
class QDoubleSpinBox;
class QFormLayout;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpacerItem;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;
class QWidget;

// The window's widget tree, one pointer per object in creation order. The
// record owns nothing: widgets belong to their parents, spacers to their
// layouts.
struct MainWindowForm
{
    // Calculation tab
    QWidget *centralWidget;
    QVBoxLayout *verticalLayout;
    QTabWidget *tabWidget;
    QWidget *tab;
    QVBoxLayout *verticalLayout_2;
    QHBoxLayout *horizontalLayout_8;
    QSpacerItem *horizontalSpacer;
    QLabel *label;                           // title "Prix général"
    QComboBox *comboBox;                     // bow category
    QHBoxLayout *horizontalLayout_2;
    QGroupBox *groupBox_6;                   // "Fréquentation": the two counts
    QFormLayout *formLayout_4;
    QLabel *label_19;
    QLabel *label_20;
    QSpinBox *nbNoirsPayes;
    QSpinBox *nbMises;
    QGroupBox *groupBox_4;                   // "Bilan": the four totals
    QFormLayout *formLayout_2;
    QLabel *label_6;
    QLineEdit *sommeEncaisse;
    QLabel *label_9;
    QLineEdit *montantFrais;
    QLabel *label_10;
    QLineEdit *sommeNoirs;
    QLabel *label_11;
    QLineEdit *sommePrix;
    QHBoxLayout *horizontalLayout_6;
    QSpacerItem *horizontalSpacer_2;
    QCommandLinkButton *commandLinkButton;   // "Calculer"
    QSpacerItem *horizontalSpacer_3;
    QCommandLinkButton *commandLinkButton_3; // "Imprimer"
    QSpacerItem *horizontalSpacer_4;
    QHBoxLayout *horizontalLayout;
    QGroupBox *groupBox_2;                   // "Gain": prize list and crest
    QHBoxLayout *horizontalLayout_4;
    QPlainTextEdit *TextGain;
    QLabel *blason;                          // the crest picture, credits as help text

    // Configuration tab
    QWidget *tab_2;
    QWidget *journee; // the day's account, filled the first time it is shown
    QVBoxLayout *verticalLayout_3;
    QGroupBox *groupBox;                     // "Général": tariffs, costs, rounding
    QFormLayout *formLayout;
    QLabel *label_2;
    QDoubleSpinBox *tarifMise;
    QLabel *label_3;
    QDoubleSpinBox *tarifNoir;
    QLabel *label_4;
    QSpinBox *gainMini;
    QLabel *label_5;
    QSpinBox *pourcentFrais;
    QLabel *label_8;
    QHBoxLayout *horizontalLayout_7;
    QRadioButton *unEuro;
    QRadioButton *cinqEuro;
    QGroupBox *groupBox_5;                   // "Prix"
    QFormLayout *formLayout_3;
    QLabel *label_12;
    QSpinBox *nbPrix;
    QLabel *label_13;
    QHBoxLayout *horizontalLayout_3;
    QRadioButton *radioPourcent;
    QRadioButton *radioFixe;
    QLabel *labelPrix1;
    QSpinBox *valeurPrix1;
    QLabel *labelPrix2;
    QLabel *labelPrix3;
    QLabel *labelPrix4;
    QLabel *labelPrix5;
    QSpinBox *valeurPrix2;
    QSpinBox *valeurPrix3;
    QSpinBox *valeurPrix4;
    QSpinBox *valeurPrix5;
    QGroupBox *groupBox_3;                   // "Divers": crest file
    QGridLayout *gridLayout;
    QLabel *label_7;
    QLineEdit *blasonPrint;
    QPushButton *pushButton;                 // "...": choose the crest file
    QLabel *labelNomClub;
    QLineEdit *nomClub;                      // the club's name, heading its statements
    QHBoxLayout *horizontalLayout_5;
    QSpacerItem *horizontalSpacer_5;
    QCommandLinkButton *commandLinkButton_2; // "Sauvegarder"
    QSpacerItem *horizontalSpacer_6;
    QSpacerItem *verticalSpacer;

    // Builds the whole tree on the window, applies the texts, shows "Calcul"
    // and binds the window's slots by name.
    void setupForm(QMainWindow *window);
    void applyTexts(QMainWindow *window);
};
