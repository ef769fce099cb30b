<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>velmora::AdvancedTab</name>
    <message>
        <location filename="../AdvancedTab.cpp" line="28"/>
        <source>Advanced Settings</source>
        <translation>Paramètres avancés</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="30"/>
        <source>These settings are for advanced users and troubleshooting.</source>
        <translation>Ces réglages sont destinés aux utilisateurs avancés et au dépannage.</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="42"/>
        <source>Updates</source>
        <translation>Mises à jour</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="44"/>
        <source>Automatically check for updates</source>
        <translation>Rechercher automatiquement les mises à jour</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="49"/>
        <source>Check Now</source>
        <translation>Rechercher maintenant</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="52"/>
        <source>Current version: %1</source>
        <translation>Version actuelle : %1</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="65"/>
        <source>Reset</source>
        <translation>Réinitialisation</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="68"/>
        <source>Reset all settings to defaults</source>
        <translation>Rétablir tous les réglages par défaut</translation>
    </message>
</context>
</TS>
