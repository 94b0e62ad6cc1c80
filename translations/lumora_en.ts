<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AppLockProfileListModel</name>
    <message numerus="yes">
        <source>%n blocked apps</source>
        <translation>
            <numerusform>%n blocked app</numerusform>
            <numerusform>%n blocked apps</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatsSettings</name>
    <message numerus="yes">
        <source>%n days</source>
        <translation>
            <numerusform>%n day</numerusform>
            <numerusform>%n days</numerusform>
        </translation>
    </message>
</context>
</TS>
