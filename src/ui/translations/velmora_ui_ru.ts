<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>velmora::AdvancedTab</name>
    <message>
        <location filename="../AdvancedTab.cpp" line="28"/>
        <source>Advanced Settings</source>
        <translation>Дополнительные настройки</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="30"/>
        <source>These settings are for advanced users and troubleshooting.</source>
        <translation>Эти настройки предназначены для опытных пользователей и для устранения неполадок.</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="42"/>
        <source>Updates</source>
        <translation>Обновления</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="44"/>
        <source>Automatically check for updates</source>
        <translation>Автоматически проверять обновления</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="49"/>
        <source>Check Now</source>
        <translation>Проверить сейчас</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="52"/>
        <source>Current version: %1</source>
        <translation>Текущая версия: %1</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="65"/>
        <source>Reset</source>
        <translation>Сброс</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="68"/>
        <source>Reset all settings to defaults</source>
        <translation>Сбросить все настройки по умолчанию</translation>
    </message>
</context>
</TS>
