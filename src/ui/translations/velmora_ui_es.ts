<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>velmora::AdvancedTab</name>
    <message>
        <location filename="../AdvancedTab.cpp" line="28"/>
        <source>Advanced Settings</source>
        <translation>Ajustes avanzados</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="30"/>
        <source>These settings are for advanced users and troubleshooting.</source>
        <translation>Estos ajustes son para usuarios avanzados y para solucionar problemas.</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="42"/>
        <source>Updates</source>
        <translation>Actualizaciones</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="44"/>
        <source>Automatically check for updates</source>
        <translation>Buscar actualizaciones automáticamente</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="49"/>
        <source>Check Now</source>
        <translation>Buscar ahora</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="52"/>
        <source>Current version: %1</source>
        <translation>Versión actual: %1</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="65"/>
        <source>Reset</source>
        <translation>Restablecer</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="68"/>
        <source>Reset all settings to defaults</source>
        <translation>Restablecer todos los ajustes a los valores predeterminados</translation>
    </message>
</context>
</TS>
