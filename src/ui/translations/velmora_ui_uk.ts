<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uk" sourcelanguage="en">
<context>
    <name>velmora::AdvancedTab</name>
    <message>
        <location filename="../AdvancedTab.cpp" line="28"/>
        <source>Advanced Settings</source>
        <translation>Додаткові налаштування</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="30"/>
        <source>These settings are for advanced users and troubleshooting.</source>
        <translation>Ці налаштування призначені для досвідчених користувачів і для усунення несправностей.</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="42"/>
        <source>Updates</source>
        <translation>Оновлення</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="44"/>
        <source>Automatically check for updates</source>
        <translation>Автоматично перевіряти оновлення</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="49"/>
        <source>Check Now</source>
        <translation>Перевірити зараз</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="52"/>
        <source>Current version: %1</source>
        <translation>Поточна версія: %1</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="65"/>
        <source>Reset</source>
        <translation>Скидання</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="68"/>
        <source>Reset all settings to defaults</source>
        <translation>Скинути всі налаштування до типових</translation>
    </message>
</context>
</TS>
