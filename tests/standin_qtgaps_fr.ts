<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A stand-in for the program's own French of Qt's texts (resources/qtgaps_fr.ts)
     that holds a text Qt's own French (qtbase_fr.qm) has in every release, in other
     words: tst_form qtTextsAreFrench installs it as the program installs its own,
     and the words the crest's file dialog shows tell which one Qt asked first. -->
<TS version="2.1" language="fr">
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler selon la traduction du test</translation>
    </message>
</context>
</TS>
