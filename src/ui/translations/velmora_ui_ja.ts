<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>velmora::AdvancedTab</name>
    <message>
        <location filename="../AdvancedTab.cpp" line="28"/>
        <source>Advanced Settings</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="30"/>
        <source>These settings are for advanced users and troubleshooting.</source>
        <translation>これらの設定は上級ユーザー向けで、トラブルシューティングに使います。</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="42"/>
        <source>Updates</source>
        <translation>アップデート</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="44"/>
        <source>Automatically check for updates</source>
        <translation>アップデートを自動的に確認</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="49"/>
        <source>Check Now</source>
        <translation>今すぐ確認</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="52"/>
        <source>Current version: %1</source>
        <translation>現在のバージョン：%1</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="65"/>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <location filename="../AdvancedTab.cpp" line="68"/>
        <source>Reset all settings to defaults</source>
        <translation>すべての設定を初期状態に戻す</translation>
    </message>
</context>
</TS>
