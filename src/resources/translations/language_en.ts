<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>BaseContainer</name>
    <message>
        <source>Screenshot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear chart area</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartContainer</name>
    <message>
        <source>Select All Series</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartContainer3D</name>
    <message>
        <source>3D context initialization failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>context initialization failed,lack of sufficient platform support for OpenGL.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current graphics card does not support 3D rendering of this application. The program will be closed. Please restart later</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineContainer</name>
    <message>
        <source>Zoom View Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plot settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis Min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis Max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X Grids</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y Grids</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineResourceSettingWidget</name>
    <message>
        <source>Line Width: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> px</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineStatisticWidget</name>
    <message>
        <source>bias:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mean:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>std:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>min:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>max:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>half:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ModelViewManagers</name>
    <message>
        <source>ModelView</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Window</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PlainContainer</name>
    <message>
        <source>%1 view</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PlainTextEditWithFile</name>
    <message>
        <source>Save to File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Scatter3DContainer</name>
    <message>
        <source>Plot settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis Min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis Max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X Grids</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y Grids</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z Grids</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Track Length: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show All Series Marker</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show All Series Track</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Scatter3DResourceSettingWidget</name>
    <message>
        <source>Marker</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scatter Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Marker Size: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Track Width: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Track Length: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Points</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScatterContainer</name>
    <message>
        <source>Plot settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis Min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis Max</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X Grids</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y Grids</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use Background Map</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>XMin:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>XMax:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YMin:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>YMax:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Track Length: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show All Series Marker</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show All Series Line Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show All Series Scatter Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScatterResourceSettingWidget</name>
    <message>
        <source>Marker</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scatter Track</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Marker Size: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> px</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name Label</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position Label</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Track Width: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Track Length: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open File</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SplitableWindow</name>
    <message>
        <source>Set As Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create new resource container in this window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Container</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal Split</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical Split</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The container cannot be closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It has already been the last container for %1, and %1 resources have been allocated</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewManager</name>
    <message>
        <source>Circle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Triangle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Customize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Container</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resource</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WidgetMultiSend</name>
    <message>
        <source>Add New Item</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WidgetSingleSend</name>
    <message>
        <source>Hex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Timed Send(ms)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowView</name>
    <message>
        <source>Notice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not allowed to close the final window</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Z3DScatter</name>
    <message>
        <source>Detected that you are using the Intel integrated graphics card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is known that some Intel integrated graphics cards cannot support 3D rendering of this software successfully. If you have multiple graphics cards, you can set this application to use a dedicated graphics card, such as NVIDIA. At the same time, software performance will be improved. After that, you can restart this application and check the menu to confirm that 3D feature has been turned on (do not connect the device before turning on 3D).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZColorLabel</name>
    <message>
        <source>Color Dialog</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZTableWidget</name>
    <message>
        <source>Insert new row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete current row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete rows current and later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZTranslatorManager</name>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Effective after restart</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZTransmitDataWidget</name>
    <message>
        <source>Hex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Timed Send(ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZUiColorSchemeManager</name>
    <message>
        <source>Color Scheme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color Scheme Changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The color scheme %1 was modified,do you want to save the changes?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy color scheme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New color scheme name:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZUiSerialPortAssistant</name>
    <message>
        <source>Serial Port</source>
        <comment>SerialPort Assistant</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SerialPort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear Statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear Received</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PortName</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BaudRate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DataBits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>StopBits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FlowControl</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IgnoredPortNames</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bytes/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transmitted:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Single Transmit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Multi Transmit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check Sum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Little Endian</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to open the serial port,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>please check whether the serial port driver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is normal or whether the current serial port is occupied.Error code:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total bytes: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZWidgetLogger</name>
    <message>
        <source>Logger </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Log Dir</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
