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
    <name>ChartContainer2D</name>
    <message>
        <source>Axis X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Axis Y</source>
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
    <name>ChartResourceSettingWidget</name>
    <message>
        <source>color</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataExportSubject</name>
    <message>
        <source>%1 save failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FirmwareUpdater</name>
    <message>
        <source>Firmware is not ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>handshake failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can&apos;t write firmware in first time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>can&apos;t write firmware in </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wireless relay is not available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>serialport disconnected</source>
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
    <message>
        <source>target val</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bias = mean - target</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>half = 0.5*(max - min)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use 3D</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings will take effect after the software restarts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Connect Serial Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Recognize Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show ModelView Table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Data Dir</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color Scheme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UWB Calibration</source>
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
    <name>Parvo::SurfaceGraph</name>
    <message>
        <source>Change Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mean</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Parvo::WidgetSetting</name>
    <message>
        <source>Sarvel-Vora Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local Time(ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interface</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pixel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Target Order</source>
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
    <name>ProductHandleBase</name>
    <message>
        <source>Download release notes failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read release notes failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download firmware file failed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplayTag</name>
    <message>
        <source>information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Sarvel::RangeSettingWindow</name>
    <message>
        <source>Read Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 mismatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter failed,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  write failed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Sarvel::WidgetSetting</name>
    <message>
        <source>Sarvel Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local Time(ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interface</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Band Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Band Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh Rate(Hz)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter Factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FOV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Offset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FOV X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FOV Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Offset X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Offset Y</source>
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
    <message>
        <source>image files (*.bmp *.jpg *.jpeg *.png)</source>
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
    <message>
        <source>image files (*.bmp *.jpg *.jpeg *.png)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <source>Data FPS: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chart FPS: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum Memory(History Data): </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When memory usage of history raw data is overflow, data received in textedit will be clear, but you can still export history data to file</source>
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
    <name>Trelvan</name>
    <message>
        <source>NODE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ANCHOR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TAG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONSOLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MASTER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SLAVE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MONITOR</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetErrorFrame0</name>
    <message>
        <source>Error Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>role</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>id</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>systemTime(ms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nodeRepeat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lpsSettingFrameError</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>anchorCoordinateError</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>restart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hardFault</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>uwbTxError</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>posAbnormalZero</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dtLengthOverflow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>errorTypeMark0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>errorTypeMark1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>errorTypeMark2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetNodeFrame0</name>
    <message>
        <source>Data Transmission</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check DT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Node Count: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Peried: </source>
        <translation>Period: </translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetTag</name>
    <message>
        <source>Count</source>
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
    <message>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CurrentContainer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Root</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Splitter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WidgetDataPlayerBar</name>
    <message>
        <source>Add Stamp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Data(Excel)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data Recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data Replay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Damaged recording: replay stopped at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Speed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current Protocol(*%1*.dat);;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Protocols(*.dat)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose Data file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error occurred</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to extract supported protocol name from file name, please check if the file name has been modified</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WidgetFirmwareUpdate</name>
    <message>
        <source>Firmware update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show all Release Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Public Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pull info of latest public firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Beta Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pull beta firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load local firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ignore Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wireless Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Beta code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No product has been recognized</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download failed, please check user code or network connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose firmware file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version of the firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Example: 1.3.1.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version number&apos;s format is illegal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local firmware loaded:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Already been the latest firmware.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware has been loaded : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wireless firmware update finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to update firmware of local node?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>   time: %1</source>
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
    <name>WidgetNodeFrameBase</name>
    <message>
        <source>Nodes of current frame</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Node Width: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Node Height: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed</source>
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
    <name>WidgetSystemInfo</name>
    <message>
        <source>Hardware </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Baudrate </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recognize failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recognize</source>
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
    <name>WizardManager</name>
    <message>
        <source>Help &amp;&amp; Wizard</source>
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
    <name>ZButtonTextEditable</name>
    <message>
        <source>Right click to change name of the button</source>
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
    <name>ZColorTextLabel</name>
    <message>
        <source>Color dialog</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ZComboBoxEditable</name>
    <message>
        <source>Right click to insert customized value</source>
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
<context>
    <name>UwbAna::ChipWidget</name>
    <message>
        <source>Enable Chip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preamble Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preamble Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PRF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SFD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PHR Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PHR Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STS Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STS Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable SDC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PLR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RXFCG Count</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RXPHE Count</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RXFCE Count</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RXFSL Count</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RXSTO Count</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>latest data ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>history datas ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UwbAna::WidgetData</name>
    <message>
        <source>Read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Config</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Diagnose</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Period(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Radix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detect Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time out.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZSystemChannelItem</name>
    <message>
        <source>System CH</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZSystemIDItem</name>
    <message>
        <source>System ID</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZTxPowerItem</name>
    <message>
        <source>Tx Gain(dB)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZOnOffItem</name>
    <message>
        <source>LED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IDC Auto Set</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZRoleItem</name>
    <message>
        <source>Role</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZIdItem</name>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZProtocolTypeItem</name>
    <message>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZBaudrateItem</name>
    <message>
        <source>Baudrate</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZNodeCapacityItem</name>
    <message>
        <source>Capacity</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZRefreshRateItem</name>
    <message>
        <source>Update Rate</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZFilterFactorItem</name>
    <message>
        <source>Filter Factor</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZMathModelItem</name>
    <message>
        <source>Math Model</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZAppModeItem</name>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wireless Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic networking in the wireless setting state, can operate multiple nodes together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One Key Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>After anchors is arranged, connect any anchor for automatic coordinate measurement</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::ZCoordinateItem</name>
    <message>
        <source>Group </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetNode</name>
    <message>
        <source>Local</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time(ms)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetSetting</name>
    <message>
        <source>Trelvan Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart Node</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter failed,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; coordinates of %1 not written yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>invalid value of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>coordinates of %1 not read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restarting current node will make it exit wireless setting mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm Restart?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart failed,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch application failed:%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finding nodes...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch mode succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1. Please keep anchors free from blocking;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2. Anchors need to be kept in the same plane, and the height error of each anchor is generally required to be no more than 20cm;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3. The layout range of anchors should be greater than 1 * 1m generally;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4. The length-width ratio of layout should be less than 3:1 generally;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5. If the above steps do not solve your problem, please click exit one  key calibration, and the last calibration result will be stored in the anchor or console that initiates one key calibration;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6. If the calibration results are roughly in line with the actual situation, the automatic calibration is completed; if there is a large discrepancy between the calibration results and the actual situation, please determine the anchor coordinates through other measurement methods, and write the parameters after entering the anchor coordinates.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to Exit one key calibration?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calibration time is too long, please check as follows:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One key calibration failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::AoaCalibrationEditor</name>
    <message>
        <source>Read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WidgetUwbCalibration</name>
    <message>
        <source>Offset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Xtrim</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AntennaTxDelay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AntennaRxDelay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AOA</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>trelvan::WidgetCalibration</name>
    <message>
        <source>Item Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Xtrim Offset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Antenna Delay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AOA Offset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tx Gain Offset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Distance Offset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Xtrim Offset(ppm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Antenna Tx Delay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Antenna Rx Delay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AOA Offset(deg)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tx Gain Offset(dB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Distance Offset(m)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter failed, error type: timeout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>illegal offset value received: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter failed, error type: timeout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter failed, error type: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::AoaWidgetSetting</name>
    <message>
        <source>AOA Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System CH</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tx Gain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Role</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update Rate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter Factor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Indicator Light</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter failed,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart failed,</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetSensor</name>
    <message>
        <source>Wait calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calibration succeeded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calibration error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calibrating ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetAHRSCalibration</name>
    <message>
        <source>AHRS Calibration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gyro</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Acc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mag</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Static</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Axis X+ upward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Axis X- upward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Axis Y+ upward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Axis Y- upward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Axis Z+ upward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Axis Z- upward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotating around axis X uniformly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotating around axis Y uniformly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotating around axis Z uniformly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch mode failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accelerometer calibration failed, please keep still</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accelerometer calibration failed, please align the direction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current axis calibration succeeded!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accelerometer calibration succeeded!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gyroscope calibration error, please set it horizontally</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Magnetometer calibration failed, please try again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Magnetometer calibration succeeded!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::DopVisualization</name>
    <message>
        <source>DOP Visualization</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn't initialize the OpenGL context.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Anchors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DOP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Coordinates</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WirelessSetting</name>
    <message>
        <source>Different firmware</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetWirelessSetting</name>
    <message>
        <source>Nodes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find all Nodes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart all Tags</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart all Nodes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wireless Firmware Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Setting all %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart all %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Trelvan::OperateMenu</name>
    <message>
        <source>Restart</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restart failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read parameter failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write parameter failed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
