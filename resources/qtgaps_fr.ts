<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Qt's texts that the running Qt's own French (qtbase_fr.qm) leaves in
     English, in Qt's French for the text each replaced (src/app/qtfrench.cpp).
     Qt 6.11 gave the file dialog's labels an accelerator, and so a new text. -->
<TS version="2.1" language="fr">
<context>
    <name>QFileDialog</name>
    <message>
        <source>&amp;Look in:</source>
        <translation>&amp;Voir dans&#xa0;:</translation>
    </message>
    <message>
        <source>Files of &amp;type:</source>
        <translation>Fichiers de &amp;type&#xa0;:</translation>
    </message>
</context>
</TS>
