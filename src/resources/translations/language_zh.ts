<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>BaseContainer</name>
    <message>
        <source>Screenshot</source>
        <translation>截图</translation>
    </message>
    <message>
        <source>Clear chart area</source>
        <translation>清空图表区域</translation>
    </message>
</context>
<context>
    <name>ChartContainer</name>
    <message>
        <source>Select All Series</source>
        <translation>全选曲线</translation>
    </message>
</context>
<context>
    <name>ChartContainer2D</name>
    <message>
        <source>Axis X</source>
        <translation>X 轴</translation>
    </message>
    <message>
        <source>Axis Y</source>
        <translation>Y 轴</translation>
    </message>
</context>
<context>
    <name>ChartContainer3D</name>
    <message>
        <source>3D context initialization failed</source>
        <translation>3D 上下文初始化失败</translation>
    </message>
    <message>
        <source>context initialization failed,lack of sufficient platform support for OpenGL.</source>
        <translation>上下文初始化失败，当前平台对 OpenGL 的支持不足。</translation>
    </message>
    <message>
        <source>The current graphics card does not support 3D rendering of this application. The program will be closed. Please restart later</source>
        <translation>当前显卡不支持本程序的 3D 渲染，程序即将关闭，请稍后重新启动</translation>
    </message>
</context>
<context>
    <name>ChartResourceSettingWidget</name>
    <message>
        <source>color</source>
        <translation>颜色</translation>
    </message>
</context>
<context>
    <name>DataExportSubject</name>
    <message>
        <source>%1 save failed</source>
        <translation>%1 保存失败</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdater</name>
    <message>
        <source>Firmware is not ready</source>
        <translation>固件未就绪</translation>
    </message>
    <message>
        <source>handshake failed</source>
        <translation>握手失败</translation>
    </message>
    <message>
        <source>can&apos;t write firmware in first time</source>
        <translation>首次写入固件失败</translation>
    </message>
    <message>
        <source>can&apos;t write firmware in </source>
        <translation>写入固件失败，进度 </translation>
    </message>
    <message>
        <source>Wireless relay is not available</source>
        <translation>无线中继不可用</translation>
    </message>
    <message>
        <source>serialport disconnected</source>
        <translation>串口已断开</translation>
    </message>
</context>
<context>
    <name>LineContainer</name>
    <message>
        <source>Zoom View Mode</source>
        <translation>缩放视图模式</translation>
    </message>
    <message>
        <source>Plot settings</source>
        <translation>绘图设置</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>点数</translation>
    </message>
    <message>
        <source>Axis Min</source>
        <translation>坐标轴最小值</translation>
    </message>
    <message>
        <source>Axis Max</source>
        <translation>坐标轴最大值</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>X Grids</source>
        <translation>X 网格数</translation>
    </message>
    <message>
        <source>Y Grids</source>
        <translation>Y 网格数</translation>
    </message>
</context>
<context>
    <name>LineResourceSettingWidget</name>
    <message>
        <source>Line Width: </source>
        <translation>线宽：</translation>
    </message>
    <message>
        <source> px</source>
        <translation> px</translation>
    </message>
</context>
<context>
    <name>LineStatisticWidget</name>
    <message>
        <source>bias:</source>
        <translation>偏差：</translation>
    </message>
    <message>
        <source>mean:</source>
        <translation>均值：</translation>
    </message>
    <message>
        <source>std:</source>
        <translation>标准差：</translation>
    </message>
    <message>
        <source>min:</source>
        <translation>最小值：</translation>
    </message>
    <message>
        <source>max:</source>
        <translation>最大值：</translation>
    </message>
    <message>
        <source>half:</source>
        <translation>半幅：</translation>
    </message>
    <message>
        <source>target val</source>
        <translation>目标值</translation>
    </message>
    <message>
        <source>bias = mean - target</source>
        <translation>偏差 = 均值 - 目标值</translation>
    </message>
    <message>
        <source>half = 0.5*(max - min)</source>
        <translation>半幅 = 0.5*(最大值 - 最小值)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>菜单</translation>
    </message>
    <message>
        <source>Use 3D</source>
        <translation>启用 3D</translation>
    </message>
    <message>
        <source>Settings changed</source>
        <translation>设置已更改</translation>
    </message>
    <message>
        <source>The settings will take effect after the software restarts</source>
        <translation>设置将在软件重启后生效</translation>
    </message>
    <message>
        <source>Auto Connect Serial Port</source>
        <translation>自动连接串口</translation>
    </message>
    <message>
        <source>Auto Recognize Device</source>
        <translation>自动识别设备</translation>
    </message>
    <message>
        <source>Show ModelView Table</source>
        <translation>显示模型视图表</translation>
    </message>
    <message>
        <source>Open Data Dir</source>
        <translation>打开数据目录</translation>
    </message>
    <message>
        <source>Color Scheme</source>
        <translation>配色方案</translation>
    </message>
    <message>
        <source>UWB Calibration</source>
        <translation>UWB 校准</translation>
    </message>
</context>
<context>
    <name>ModelViewManagers</name>
    <message>
        <source>ModelView</source>
        <translation>模型视图</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>New Window</source>
        <translation>新建窗口</translation>
    </message>
</context>
<context>
    <name>Parvo::SurfaceGraph</name>
    <message>
        <source>Change Preset</source>
        <translation>切换视角</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>均值</translation>
    </message>
</context>
<context>
    <name>Parvo::WidgetSetting</name>
    <message>
        <source>Sarvel-Vora Setting</source>
        <translation>Sarvel-Vora 设置</translation>
    </message>
    <message>
        <source>Local Time(ms)</source>
        <translation>本地时间(ms)</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>接口</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出模式</translation>
    </message>
    <message>
        <source>Pixel</source>
        <translation>像素</translation>
    </message>
    <message>
        <source>Target Order</source>
        <translation>目标排序</translation>
    </message>
</context>
<context>
    <name>PlainTextEditWithFile</name>
    <message>
        <source>Save to File</source>
        <translation>保存到文件</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
</context>
<context>
    <name>ProductHandleBase</name>
    <message>
        <source>Download release notes failed.</source>
        <translation>下载发布说明失败。</translation>
    </message>
    <message>
        <source>Read release notes failed.</source>
        <translation>读取发布说明失败。</translation>
    </message>
    <message>
        <source>Download firmware file failed.</source>
        <translation>下载固件文件失败。</translation>
    </message>
</context>
<context>
    <name>ReplayTag</name>
    <message>
        <source>information</source>
        <translation>备注信息</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>Sarvel::RangeSettingWindow</name>
    <message>
        <source>Read Parameter</source>
        <translation>读取参数</translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation>写入参数</translation>
    </message>
    <message>
        <source>Time out.</source>
        <translation>超时。</translation>
    </message>
    <message>
        <source>%1 mismatch</source>
        <translation>%1 不一致</translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation>读取参数成功</translation>
    </message>
    <message>
        <source>Read parameter failed,</source>
        <translation>读取参数失败，</translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation>写入参数成功</translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation>写入参数失败，</translation>
    </message>
    <message>
        <source>  write failed.</source>
        <translation>  写入失败。</translation>
    </message>
</context>
<context>
    <name>Sarvel::WidgetSetting</name>
    <message>
        <source>Sarvel Setting</source>
        <translation>Sarvel 设置</translation>
    </message>
    <message>
        <source>Local Time(ms)</source>
        <translation>本地时间(ms)</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>接口</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出模式</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>量程</translation>
    </message>
    <message>
        <source>Band Start</source>
        <translation>区间起点</translation>
    </message>
    <message>
        <source>Band Width</source>
        <translation>区间宽度</translation>
    </message>
    <message>
        <source>Refresh Rate(Hz)</source>
        <translation>刷新率(Hz)</translation>
    </message>
    <message>
        <source>Filter Factor</source>
        <translation>滤波系数</translation>
    </message>
    <message>
        <source>FOV</source>
        <translation>视场角</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>偏移</translation>
    </message>
    <message>
        <source>FOV X</source>
        <translation>视场角 X</translation>
    </message>
    <message>
        <source>FOV Y</source>
        <translation>视场角 Y</translation>
    </message>
    <message>
        <source>Offset X</source>
        <translation>偏移 X</translation>
    </message>
    <message>
        <source>Offset Y</source>
        <translation>偏移 Y</translation>
    </message>
</context>
<context>
    <name>Scatter3DContainer</name>
    <message>
        <source>Plot settings</source>
        <translation>绘图设置</translation>
    </message>
    <message>
        <source>Axis Min</source>
        <translation>坐标轴最小值</translation>
    </message>
    <message>
        <source>Axis Max</source>
        <translation>坐标轴最大值</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <source>X Grids</source>
        <translation>X 网格数</translation>
    </message>
    <message>
        <source>Y Grids</source>
        <translation>Y 网格数</translation>
    </message>
    <message>
        <source>Z Grids</source>
        <translation>Z 网格数</translation>
    </message>
    <message>
        <source>All Track Length: </source>
        <translation>全部轨迹长度：</translation>
    </message>
    <message>
        <source> Points</source>
        <translation> 个点</translation>
    </message>
    <message>
        <source>Show All Series Marker</source>
        <translation>显示所有曲线的标记</translation>
    </message>
    <message>
        <source>Show All Series Track</source>
        <translation>显示所有曲线的轨迹</translation>
    </message>
</context>
<context>
    <name>Scatter3DResourceSettingWidget</name>
    <message>
        <source>Marker</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>Scatter Track</source>
        <translation>散点轨迹</translation>
    </message>
    <message>
        <source>Marker Size: </source>
        <translation>标记大小：</translation>
    </message>
    <message>
        <source>Track Width: </source>
        <translation>轨迹宽度：</translation>
    </message>
    <message>
        <source>Track Length: </source>
        <translation>轨迹长度：</translation>
    </message>
    <message>
        <source> Points</source>
        <translation> 个点</translation>
    </message>
</context>
<context>
    <name>ScatterContainer</name>
    <message>
        <source>Plot settings</source>
        <translation>绘图设置</translation>
    </message>
    <message>
        <source>Axis Min</source>
        <translation>坐标轴最小值</translation>
    </message>
    <message>
        <source>Axis Max</source>
        <translation>坐标轴最大值</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>X Grids</source>
        <translation>X 网格数</translation>
    </message>
    <message>
        <source>Y Grids</source>
        <translation>Y 网格数</translation>
    </message>
    <message>
        <source>Use Background Map</source>
        <translation>使用背景地图</translation>
    </message>
    <message>
        <source>XMin:</source>
        <translation>X 最小值：</translation>
    </message>
    <message>
        <source>XMax:</source>
        <translation>X 最大值：</translation>
    </message>
    <message>
        <source>YMin:</source>
        <translation>Y 最小值：</translation>
    </message>
    <message>
        <source>YMax:</source>
        <translation>Y 最大值：</translation>
    </message>
    <message>
        <source>All Track Length: </source>
        <translation>全部轨迹长度：</translation>
    </message>
    <message>
        <source> Points</source>
        <translation> 个点</translation>
    </message>
    <message>
        <source>Show All Series Marker</source>
        <translation>显示所有曲线的标记</translation>
    </message>
    <message>
        <source>Show All Series Line Track</source>
        <translation>显示所有曲线的连线轨迹</translation>
    </message>
    <message>
        <source>Show All Series Scatter Track</source>
        <translation>显示所有曲线的散点轨迹</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>image files (*.bmp *.jpg *.jpeg *.png)</source>
        <translation>图片文件 (*.bmp *.jpg *.jpeg *.png)</translation>
    </message>
</context>
<context>
    <name>ScatterResourceSettingWidget</name>
    <message>
        <source>Marker</source>
        <translation>标记</translation>
    </message>
    <message>
        <source>Line Track</source>
        <translation>连线轨迹</translation>
    </message>
    <message>
        <source>Scatter Track</source>
        <translation>散点轨迹</translation>
    </message>
    <message>
        <source>Marker Size: </source>
        <translation>标记大小：</translation>
    </message>
    <message>
        <source> px</source>
        <translation> px</translation>
    </message>
    <message>
        <source>Name Label</source>
        <translation>名称标签</translation>
    </message>
    <message>
        <source>Position Label</source>
        <translation>坐标标签</translation>
    </message>
    <message>
        <source>Track Width: </source>
        <translation>轨迹宽度：</translation>
    </message>
    <message>
        <source>Track Length: </source>
        <translation>轨迹长度：</translation>
    </message>
    <message>
        <source> Points</source>
        <translation> 个点</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>image files (*.bmp *.jpg *.jpeg *.png)</source>
        <translation>图片文件 (*.bmp *.jpg *.jpeg *.png)</translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <source>Data FPS: </source>
        <translation>数据刷新率：</translation>
    </message>
    <message>
        <source>Chart FPS: </source>
        <translation>图表刷新率：</translation>
    </message>
    <message>
        <source>Maximum Memory(History Data): </source>
        <translation>最大内存(历史数据)：</translation>
    </message>
    <message>
        <source>When memory usage of history raw data is overflow, data received in textedit will be clear, but you can still export history data to file</source>
        <translation>当历史原始数据占用的内存超出上限时，文本框中已接收的数据将被清空，但仍可将历史数据导出到文件</translation>
    </message>
</context>
<context>
    <name>SplitableWindow</name>
    <message>
        <source>Set As Default</source>
        <translation>设为默认</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Create new resource container in this window</source>
        <translation>在此窗口中新建资源容器</translation>
    </message>
    <message>
        <source>New Container</source>
        <translation>新建容器</translation>
    </message>
    <message>
        <source>Horizontal Split</source>
        <translation>水平分割</translation>
    </message>
    <message>
        <source>Vertical Split</source>
        <translation>垂直分割</translation>
    </message>
    <message>
        <source>The container cannot be closed</source>
        <translation>无法关闭该容器</translation>
    </message>
    <message>
        <source>It has already been the last container for %1, and %1 resources have been allocated</source>
        <translation>这已是 %1 类的最后一个容器，且已分配了 %1 资源</translation>
    </message>
</context>
<context>
    <name>Trelvan</name>
    <message>
        <source>NODE</source>
        <translation>NODE</translation>
    </message>
    <message>
        <source>ANCHOR</source>
        <translation>ANCHOR</translation>
    </message>
    <message>
        <source>TAG</source>
        <translation>TAG</translation>
    </message>
    <message>
        <source>CONSOLE</source>
        <translation>CONSOLE</translation>
    </message>
    <message>
        <source>MASTER</source>
        <translation>MASTER</translation>
    </message>
    <message>
        <source>SLAVE</source>
        <translation>SLAVE</translation>
    </message>
    <message>
        <source>MONITOR</source>
        <translation>MONITOR</translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetErrorFrame0</name>
    <message>
        <source>Error Info</source>
        <translation>错误信息</translation>
    </message>
    <message>
        <source>role</source>
        <translation>角色</translation>
    </message>
    <message>
        <source>id</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>systemTime(ms)</source>
        <translation>系统时间(ms)</translation>
    </message>
    <message>
        <source>nodeRepeat</source>
        <translation>nodeRepeat</translation>
    </message>
    <message>
        <source>lpsSettingFrameError</source>
        <translation>lpsSettingFrameError</translation>
    </message>
    <message>
        <source>anchorCoordinateError</source>
        <translation>anchorCoordinateError</translation>
    </message>
    <message>
        <source>restart</source>
        <translation>restart</translation>
    </message>
    <message>
        <source>hardFault</source>
        <translation>hardFault</translation>
    </message>
    <message>
        <source>uwbTxError</source>
        <translation>uwbTxError</translation>
    </message>
    <message>
        <source>posAbnormalZero</source>
        <translation>posAbnormalZero</translation>
    </message>
    <message>
        <source>dtLengthOverflow</source>
        <translation>dtLengthOverflow</translation>
    </message>
    <message>
        <source>errorTypeMark0</source>
        <translation>errorTypeMark0</translation>
    </message>
    <message>
        <source>errorTypeMark1</source>
        <translation>errorTypeMark1</translation>
    </message>
    <message>
        <source>errorTypeMark2</source>
        <translation>errorTypeMark2</translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetNodeFrame0</name>
    <message>
        <source>Data Transmission</source>
        <translation>数据透传</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Check DT</source>
        <translation>检查透传</translation>
    </message>
    <message>
        <source>Node Count: </source>
        <translation>节点数：</translation>
    </message>
    <message>
        <source>Peried: </source>
        <translation>周期：</translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetTag</name>
    <message>
        <source>Count</source>
        <translation>计数</translation>
    </message>
</context>
<context>
    <name>ViewManager</name>
    <message>
        <source>Circle</source>
        <translation>圆形</translation>
    </message>
    <message>
        <source>Triangle</source>
        <translation>三角形</translation>
    </message>
    <message>
        <source>Customize</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>View Manager</source>
        <translation>视图管理器</translation>
    </message>
    <message>
        <source>Activate</source>
        <translation>激活</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>窗口</translation>
    </message>
    <message>
        <source>Container</source>
        <translation>容器</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>资源</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>CurrentContainer</source>
        <translation>当前容器</translation>
    </message>
    <message>
        <source>Root</source>
        <translation>根</translation>
    </message>
    <message>
        <source>Splitter</source>
        <translation>分割器</translation>
    </message>
    <message>
        <source>Horizontal</source>
        <translation>水平</translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation>垂直</translation>
    </message>
</context>
<context>
    <name>WidgetDataPlayerBar</name>
    <message>
        <source>Add Stamp</source>
        <translation>添加标记</translation>
    </message>
    <message>
        <source>Export Data(Excel)</source>
        <translation>导出数据(Excel)</translation>
    </message>
    <message>
        <source>Data Recording</source>
        <translation>数据录制</translation>
    </message>
    <message>
        <source>Data Replay</source>
        <translation>数据回放</translation>
    </message>
    <message>
        <source>Damaged recording: replay stopped at %1</source>
        <translation>数据记录已损坏：回放停止于 %1</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Current Protocol(*%1*.dat);;</source>
        <translation>当前协议(*%1*.dat);;</translation>
    </message>
    <message>
        <source>All Protocols(*.dat)</source>
        <translation>所有协议(*.dat)</translation>
    </message>
    <message>
        <source>Choose Data file</source>
        <translation>选择数据文件</translation>
    </message>
    <message>
        <source>Error occurred</source>
        <translation>发生错误</translation>
    </message>
    <message>
        <source>Unable to extract supported protocol name from file name, please check if the file name has been modified</source>
        <translation>无法从文件名中识别出支持的协议名称，请检查文件名是否被修改过</translation>
    </message>
</context>
<context>
    <name>WidgetFirmwareUpdate</name>
    <message>
        <source>Firmware update</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <source>Show all Release Notes</source>
        <translation>显示全部发布说明</translation>
    </message>
    <message>
        <source>Public Firmware</source>
        <translation>正式版固件</translation>
    </message>
    <message>
        <source>Pull info of latest public firmware</source>
        <translation>获取最新正式版固件信息</translation>
    </message>
    <message>
        <source>Beta Firmware</source>
        <translation>测试版固件</translation>
    </message>
    <message>
        <source>Pull beta firmware</source>
        <translation>获取测试版固件</translation>
    </message>
    <message>
        <source>Local Firmware</source>
        <translation>本地固件</translation>
    </message>
    <message>
        <source>Load local firmware</source>
        <translation>加载本地固件</translation>
    </message>
    <message>
        <source>Ignore Version</source>
        <translation>忽略版本</translation>
    </message>
    <message>
        <source>Wireless Update</source>
        <translation>无线升级</translation>
    </message>
    <message>
        <source>Beta code</source>
        <translation>内测码</translation>
    </message>
    <message>
        <source>No product has been recognized</source>
        <translation>尚未识别到产品</translation>
    </message>
    <message>
        <source>Download failed, please check user code or network connection</source>
        <translation>下载失败，请检查内测码或网络连接</translation>
    </message>
    <message>
        <source>Choose firmware file</source>
        <translation>选择固件文件</translation>
    </message>
    <message>
        <source>Version of the firmware</source>
        <translation>固件版本</translation>
    </message>
    <message>
        <source>Example: 1.3.1.0</source>
        <translation>例如：1.3.1.0</translation>
    </message>
    <message>
        <source>Version number&apos;s format is illegal</source>
        <translation>版本号格式不正确</translation>
    </message>
    <message>
        <source>Local firmware loaded:</source>
        <translation>已加载本地固件：</translation>
    </message>
    <message>
        <source>Already been the latest firmware.</source>
        <translation>已是最新固件。</translation>
    </message>
    <message>
        <source>Firmware has been loaded : </source>
        <translation>已加载固件：</translation>
    </message>
    <message>
        <source>Wireless firmware update finished</source>
        <translation>无线固件升级完成</translation>
    </message>
    <message>
        <source>Do you want to update firmware of local node?</source>
        <translation>是否升级本地节点的固件？</translation>
    </message>
    <message>
        <source>   time: %1</source>
        <translation>   时间：%1</translation>
    </message>
</context>
<context>
    <name>WidgetMultiSend</name>
    <message>
        <source>Add New Item</source>
        <translation>添加新项</translation>
    </message>
</context>
<context>
    <name>WidgetNodeFrameBase</name>
    <message>
        <source>Nodes of current frame</source>
        <translation>当前帧节点数</translation>
    </message>
    <message>
        <source>Node Width: </source>
        <translation>节点宽度：</translation>
    </message>
    <message>
        <source>Node Height: </source>
        <translation>节点高度：</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>已更改</translation>
    </message>
</context>
<context>
    <name>WidgetSingleSend</name>
    <message>
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>Timed Send(ms)</source>
        <translation>定时发送(ms)</translation>
    </message>
</context>
<context>
    <name>WidgetSystemInfo</name>
    <message>
        <source>Hardware </source>
        <translation>硬件 </translation>
    </message>
    <message>
        <source>Firmware </source>
        <translation>固件 </translation>
    </message>
    <message>
        <source>Baudrate </source>
        <translation>波特率 </translation>
    </message>
    <message>
        <source>Recognize failed</source>
        <translation>识别失败</translation>
    </message>
    <message>
        <source>Recognize</source>
        <translation>识别</translation>
    </message>
</context>
<context>
    <name>WindowView</name>
    <message>
        <source>Notice</source>
        <translation>注意</translation>
    </message>
    <message>
        <source>It is not allowed to close the final window</source>
        <translation>不允许关闭最后一个窗口</translation>
    </message>
</context>
<context>
    <name>WizardManager</name>
    <message>
        <source>Help &amp;&amp; Wizard</source>
        <translation>帮助与向导</translation>
    </message>
</context>
<context>
    <name>Z3DScatter</name>
    <message>
        <source>Detected that you are using the Intel integrated graphics card</source>
        <translation>检测到您正在使用 Intel 集成显卡</translation>
    </message>
    <message>
        <source>It is known that some Intel integrated graphics cards cannot support 3D rendering of this software successfully. If you have multiple graphics cards, you can set this application to use a dedicated graphics card, such as NVIDIA. At the same time, software performance will be improved. After that, you can restart this application and check the menu to confirm that 3D feature has been turned on (do not connect the device before turning on 3D).</source>
        <translation>已知部分 Intel 集成显卡无法正常支持本软件的 3D 渲染。如果您的电脑有多块显卡，可以将本程序设置为使用独立显卡（例如 NVIDIA 显卡），软件性能也会随之提升。设置完成后，请重新启动本程序，并在菜单中确认 3D 功能已开启（开启 3D 功能之前请勿连接设备）。</translation>
    </message>
</context>
<context>
    <name>ZButtonTextEditable</name>
    <message>
        <source>Right click to change name of the button</source>
        <translation>右键单击可修改按钮名称</translation>
    </message>
</context>
<context>
    <name>ZColorLabel</name>
    <message>
        <source>Color Dialog</source>
        <translation>选择颜色</translation>
    </message>
</context>
<context>
    <name>ZColorTextLabel</name>
    <message>
        <source>Color dialog</source>
        <translation>选择颜色</translation>
    </message>
</context>
<context>
    <name>ZComboBoxEditable</name>
    <message>
        <source>Right click to insert customized value</source>
        <translation>右键单击可插入自定义值</translation>
    </message>
</context>
<context>
    <name>ZTableWidget</name>
    <message>
        <source>Insert new row</source>
        <translation>插入新行</translation>
    </message>
    <message>
        <source>Delete current row</source>
        <translation>删除当前行</translation>
    </message>
    <message>
        <source>Delete rows current and later</source>
        <translation>删除当前行及其后的所有行</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
</context>
<context>
    <name>ZTranslatorManager</name>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Effective after restart</source>
        <translation>重启后生效</translation>
    </message>
</context>
<context>
    <name>ZTransmitDataWidget</name>
    <message>
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>Timed Send(ms)</source>
        <translation>定时发送(ms)</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
</context>
<context>
    <name>ZUiColorSchemeManager</name>
    <message>
        <source>Color Scheme</source>
        <translation>配色方案</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>Color Scheme Changed</source>
        <translation>配色方案已修改</translation>
    </message>
    <message>
        <source>The color scheme %1 was modified,do you want to save the changes?</source>
        <translation>配色方案 %1 已修改，是否保存更改？</translation>
    </message>
    <message>
        <source>Copy color scheme</source>
        <translation>复制配色方案</translation>
    </message>
    <message>
        <source>New color scheme name:</source>
        <translation>新配色方案名称：</translation>
    </message>
</context>
<context>
    <name>ZUiSerialPortAssistant</name>
    <message>
        <source>Serial Port</source>
        <comment>SerialPort Assistant</comment>
        <translation>串口助手</translation>
    </message>
    <message>
        <source>SerialPort</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Clear Statistics</source>
        <translation>清除统计</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>Clear Received</source>
        <translation>清空接收</translation>
    </message>
    <message>
        <source>PortName</source>
        <translation>端口名</translation>
    </message>
    <message>
        <source>BaudRate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>DataBits</source>
        <translation>数据位</translation>
    </message>
    <message>
        <source>StopBits</source>
        <translation>停止位</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>校验位</translation>
    </message>
    <message>
        <source>FlowControl</source>
        <translation>流控</translation>
    </message>
    <message>
        <source>IgnoredPortNames</source>
        <translation>忽略的端口</translation>
    </message>
    <message>
        <source>Received:</source>
        <translation>接收：</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>字节</translation>
    </message>
    <message>
        <source>Bytes/s</source>
        <translation>字节/秒</translation>
    </message>
    <message>
        <source>Transmitted:</source>
        <translation>发送：</translation>
    </message>
    <message>
        <source>Single Transmit</source>
        <translation>单条发送</translation>
    </message>
    <message>
        <source>Multi Transmit</source>
        <translation>多条发送</translation>
    </message>
    <message>
        <source>Check Sum</source>
        <translation>校验和</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>计算</translation>
    </message>
    <message>
        <source>Little Endian</source>
        <translation>小端序</translation>
    </message>
    <message>
        <source>Failed to open the serial port,</source>
        <translation>串口打开失败，</translation>
    </message>
    <message>
        <source>please check whether the serial port driver</source>
        <translation>请检查串口驱动是否正常，</translation>
    </message>
    <message>
        <source>is normal or whether the current serial port is occupied.Error code:</source>
        <translation>或当前串口是否已被其他程序占用。错误代码：</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Total bytes: </source>
        <translation>总字节数：</translation>
    </message>
</context>
<context>
    <name>ZWidgetLogger</name>
    <message>
        <source>Logger </source>
        <translation>日志 </translation>
    </message>
    <message>
        <source>Show History</source>
        <translation>显示历史</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>清除历史</translation>
    </message>
    <message>
        <source>Open Log Dir</source>
        <translation>打开日志目录</translation>
    </message>
</context>
<context>
    <name>UwbAna::ChipWidget</name>
    <message>
        <source>Enable Chip</source>
        <translation>启用芯片</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>信道</translation>
    </message>
    <message>
        <source>Preamble Length</source>
        <translation>前导码长度</translation>
    </message>
    <message>
        <source>Preamble Code</source>
        <translation>前导码</translation>
    </message>
    <message>
        <source>PRF</source>
        <translation>PRF</translation>
    </message>
    <message>
        <source>PAC</source>
        <translation>PAC</translation>
    </message>
    <message>
        <source>SFD</source>
        <translation>SFD</translation>
    </message>
    <message>
        <source>Data Rate</source>
        <translation>数据速率</translation>
    </message>
    <message>
        <source>PHR Mode</source>
        <translation>PHR 模式</translation>
    </message>
    <message>
        <source>PHR Rate</source>
        <translation>PHR 速率</translation>
    </message>
    <message>
        <source>STS Mode</source>
        <translation>STS 模式</translation>
    </message>
    <message>
        <source>STS Length</source>
        <translation>STS 长度</translation>
    </message>
    <message>
        <source>Enable SDC</source>
        <translation>启用 SDC</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>PLR</source>
        <translation>PLR</translation>
    </message>
    <message>
        <source>RXFCG Count</source>
        <translation>RXFCG 计数</translation>
    </message>
    <message>
        <source>RXPHE Count</source>
        <translation>RXPHE 计数</translation>
    </message>
    <message>
        <source>RXFCE Count</source>
        <translation>RXFCE 计数</translation>
    </message>
    <message>
        <source>RXFSL Count</source>
        <translation>RXFSL 计数</translation>
    </message>
    <message>
        <source>RXSTO Count</source>
        <translation>RXSTO 计数</translation>
    </message>
    <message>
        <source>latest data ...</source>
        <translation>最新数据 ...</translation>
    </message>
    <message>
        <source>history datas ...</source>
        <translation>历史数据 ...</translation>
    </message>
</context>
<context>
    <name>UwbAna::WidgetData</name>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>Show Config</source>
        <translation>显示配置</translation>
    </message>
    <message>
        <source>Diagnose</source>
        <translation>诊断</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Period(s)</source>
        <translation>周期(s)</translation>
    </message>
    <message>
        <source>Radix</source>
        <translation>基数</translation>
    </message>
    <message>
        <source>Detect Mode</source>
        <translation>检测模式</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>阈值</translation>
    </message>
    <message>
        <source>System Time</source>
        <translation>系统时间</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>电压</translation>
    </message>
    <message>
        <source>Time out.</source>
        <translation>超时。</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZSystemChannelItem</name>
    <message>
        <source>System CH</source>
        <translation>系统信道</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZSystemIDItem</name>
    <message>
        <source>System ID</source>
        <translation>系统ID</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZTxPowerItem</name>
    <message>
        <source>Tx Gain(dB)</source>
        <translation>发射增益(dB)</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZOnOffItem</name>
    <message>
        <source>LED</source>
        <translation>LED</translation>
    </message>
    <message>
        <source>IDC Auto Set</source>
        <translation>IDC自动设置</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZRoleItem</name>
    <message>
        <source>Role</source>
        <translation>角色</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZIdItem</name>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZProtocolTypeItem</name>
    <message>
        <source>Protocol</source>
        <translation>协议</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZBaudrateItem</name>
    <message>
        <source>Baudrate</source>
        <translation>波特率</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZNodeCapacityItem</name>
    <message>
        <source>Capacity</source>
        <translation>容量</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZRefreshRateItem</name>
    <message>
        <source>Update Rate</source>
        <translation>更新频率</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZFilterFactorItem</name>
    <message>
        <source>Filter Factor</source>
        <translation>滤波系数</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZMathModelItem</name>
    <message>
        <source>Math Model</source>
        <translation>数学模型</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZAppModeItem</name>
    <message>
        <source>Mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>Wireless Setting</source>
        <translation>无线设置</translation>
    </message>
    <message>
        <source>Automatic networking in the wireless setting state, can operate multiple nodes together</source>
        <translation>无线设置状态下自动组网，可同时操作多个节点</translation>
    </message>
    <message>
        <source>One Key Setup</source>
        <translation>一键标定</translation>
    </message>
    <message>
        <source>After anchors is arranged, connect any anchor for automatic coordinate measurement</source>
        <translation>基站布置完成后，连接任一基站即可自动测量坐标</translation>
    </message>
</context>
<context>
    <name>Trelvan::ZCoordinateItem</name>
    <message>
        <source>Group </source>
        <translation>组 </translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetNode</name>
    <message>
        <source>Local</source>
        <translation>本地</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>硬件</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>固件</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Time(ms)</source>
        <translation>时间(ms)</translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetSetting</name>
    <message>
        <source>Trelvan Setting</source>
        <translation>Trelvan设置</translation>
    </message>
    <message>
        <source>Read Parameter</source>
        <translation>读取参数</translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation>写入参数</translation>
    </message>
    <message>
        <source>Restart Node</source>
        <translation>重启节点</translation>
    </message>
    <message>
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation>读取参数成功</translation>
    </message>
    <message>
        <source>Read parameter failed,</source>
        <translation>读取参数失败，</translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation>写入参数成功</translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation>写入参数失败，</translation>
    </message>
    <message>
        <source>; coordinates of %1 not written yet</source>
        <translation>；%1的坐标尚未写入</translation>
    </message>
    <message>
        <source>invalid value of %1</source>
        <translation>%1的值无效</translation>
    </message>
    <message>
        <source>coordinates of %1 not read</source>
        <translation>%1的坐标未读取</translation>
    </message>
    <message>
        <source>Restarting current node will make it exit wireless setting mode</source>
        <translation>重启当前节点将使其退出无线设置模式</translation>
    </message>
    <message>
        <source>Confirm Restart?</source>
        <translation>确认重启？</translation>
    </message>
    <message>
        <source>Restart succeeded</source>
        <translation>重启成功</translation>
    </message>
    <message>
        <source>Restart failed,</source>
        <translation>重启失败，</translation>
    </message>
    <message>
        <source>Switch application failed:%1</source>
        <translation>切换应用失败:%1</translation>
    </message>
    <message>
        <source>Finding nodes...</source>
        <translation>正在查找节点...</translation>
    </message>
    <message>
        <source>Switch mode succeeded</source>
        <translation>切换模式成功</translation>
    </message>
    <message>
        <source>1. Please keep anchors free from blocking;</source>
        <translation>1. 请保持基站无遮挡；</translation>
    </message>
    <message>
        <source>2. Anchors need to be kept in the same plane, and the height error of each anchor is generally required to be no more than 20cm;</source>
        <translation>2. 基站需保持在同一平面，各基站高度误差一般要求不超过20cm；</translation>
    </message>
    <message>
        <source>3. The layout range of anchors should be greater than 1 * 1m generally;</source>
        <translation>3. 基站布置范围一般应大于1 * 1m；</translation>
    </message>
    <message>
        <source>4. The length-width ratio of layout should be less than 3:1 generally;</source>
        <translation>4. 布置的长宽比一般应小于3:1；</translation>
    </message>
    <message>
        <source>5. If the above steps do not solve your problem, please click exit one  key calibration, and the last calibration result will be stored in the anchor or console that initiates one key calibration;</source>
        <translation>5. 若以上步骤不能解决问题，请点击退出一键标定，最后一次标定结果将保存在发起一键标定的基站或控制台中；</translation>
    </message>
    <message>
        <source>6. If the calibration results are roughly in line with the actual situation, the automatic calibration is completed; if there is a large discrepancy between the calibration results and the actual situation, please determine the anchor coordinates through other measurement methods, and write the parameters after entering the anchor coordinates.</source>
        <translation>6. 若标定结果与实际情况大致相符，则自动标定完成；若标定结果与实际情况差异较大，请通过其他测量方法确定基站坐标，输入基站坐标后写入参数。</translation>
    </message>
    <message>
        <source>Do you want to Exit one key calibration?</source>
        <translation>是否退出一键标定？</translation>
    </message>
    <message>
        <source>Calibration time is too long, please check as follows:</source>
        <translation>标定时间过长，请按以下几点检查：</translation>
    </message>
    <message>
        <source>One key calibration failed</source>
        <translation>一键标定失败</translation>
    </message>
</context>
<context>
    <name>Trelvan::AoaCalibrationEditor</name>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
</context>
<context>
    <name>WidgetUwbCalibration</name>
    <message>
        <source>Offset</source>
        <translation>偏移类型</translation>
    </message>
    <message>
        <source>Xtrim</source>
        <translation>晶振微调</translation>
    </message>
    <message>
        <source>AntennaTxDelay</source>
        <translation>天线发送延迟</translation>
    </message>
    <message>
        <source>AntennaRxDelay</source>
        <translation>天线接收延迟</translation>
    </message>
    <message>
        <source>AOA</source>
        <translation>AOA</translation>
    </message>
</context>
<context>
    <name>trelvan::WidgetCalibration</name>
    <message>
        <source>Item Type</source>
        <translation>项目类型</translation>
    </message>
    <message>
        <source>Xtrim Offset</source>
        <translation>晶振偏移</translation>
    </message>
    <message>
        <source>Antenna Delay</source>
        <translation>天线延迟</translation>
    </message>
    <message>
        <source>AOA Offset</source>
        <translation>AOA偏移</translation>
    </message>
    <message>
        <source>Tx Gain Offset</source>
        <translation>发射增益偏移</translation>
    </message>
    <message>
        <source>Distance Offset</source>
        <translation>距离偏移</translation>
    </message>
    <message>
        <source>Xtrim Offset(ppm)</source>
        <translation>晶振偏移(ppm)</translation>
    </message>
    <message>
        <source>Antenna Tx Delay</source>
        <translation>天线发送延迟</translation>
    </message>
    <message>
        <source>Antenna Rx Delay</source>
        <translation>天线接收延迟</translation>
    </message>
    <message>
        <source>AOA Offset(deg)</source>
        <translation>AOA偏移(度)</translation>
    </message>
    <message>
        <source>Tx Gain Offset(dB)</source>
        <translation>发射增益偏移(dB)</translation>
    </message>
    <message>
        <source>Distance Offset(m)</source>
        <translation>距离偏移(m)</translation>
    </message>
    <message>
        <source>Read parameter failed, error type: timeout</source>
        <translation>读取参数失败，错误类型：超时</translation>
    </message>
    <message>
        <source>illegal offset value received: %1</source>
        <translation>收到非法偏移值：%1</translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation>读取参数成功</translation>
    </message>
    <message>
        <source>Write parameter failed, error type: timeout</source>
        <translation>写入参数失败，错误类型：超时</translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation>写入参数成功</translation>
    </message>
    <message>
        <source>Write parameter failed, error type: </source>
        <translation>写入参数失败，错误类型：</translation>
    </message>
</context>
<context>
    <name>Trelvan::AoaWidgetSetting</name>
    <message>
        <source>AOA Setting</source>
        <translation>AOA设置</translation>
    </message>
    <message>
        <source>Read Parameter</source>
        <translation>读取参数</translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation>写入参数</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>重启</translation>
    </message>
    <message>
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <source>System ID</source>
        <translation>系统ID</translation>
    </message>
    <message>
        <source>System CH</source>
        <translation>系统信道</translation>
    </message>
    <message>
        <source>Tx Gain</source>
        <translation>发射增益</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>角色</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Baudrate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Update Rate</source>
        <translation>更新频率</translation>
    </message>
    <message>
        <source>Filter Factor</source>
        <translation>滤波系数</translation>
    </message>
    <message>
        <source>Indicator Light</source>
        <translation>指示灯</translation>
    </message>
    <message>
        <source>Read parameter succeeded</source>
        <translation>读取参数成功</translation>
    </message>
    <message>
        <source>Read parameter failed,</source>
        <translation>读取参数失败，</translation>
    </message>
    <message>
        <source>Write parameter succeeded</source>
        <translation>写入参数成功</translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation>写入参数失败，</translation>
    </message>
    <message>
        <source>Restart succeeded</source>
        <translation>重启成功</translation>
    </message>
    <message>
        <source>Restart failed,</source>
        <translation>重启失败，</translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetSensor</name>
    <message>
        <source>Wait calibration</source>
        <translation>等待标定</translation>
    </message>
    <message>
        <source>Calibration succeeded</source>
        <translation>标定成功</translation>
    </message>
    <message>
        <source>Calibration error</source>
        <translation>标定错误</translation>
    </message>
    <message>
        <source>Calibrating ...</source>
        <translation>标定中 ...</translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetAHRSCalibration</name>
    <message>
        <source>AHRS Calibration</source>
        <translation>AHRS标定</translation>
    </message>
    <message>
        <source>Gyro</source>
        <translation>陀螺仪</translation>
    </message>
    <message>
        <source>Acc</source>
        <translation>加速度计</translation>
    </message>
    <message>
        <source>Mag</source>
        <translation>磁力计</translation>
    </message>
    <message>
        <source>Keep Static</source>
        <translation>保持静止</translation>
    </message>
    <message>
        <source>Keep Axis X+ upward</source>
        <translation>保持X轴正向朝上</translation>
    </message>
    <message>
        <source>Keep Axis X- upward</source>
        <translation>保持X轴负向朝上</translation>
    </message>
    <message>
        <source>Keep Axis Y+ upward</source>
        <translation>保持Y轴正向朝上</translation>
    </message>
    <message>
        <source>Keep Axis Y- upward</source>
        <translation>保持Y轴负向朝上</translation>
    </message>
    <message>
        <source>Keep Axis Z+ upward</source>
        <translation>保持Z轴正向朝上</translation>
    </message>
    <message>
        <source>Keep Axis Z- upward</source>
        <translation>保持Z轴负向朝上</translation>
    </message>
    <message>
        <source>Rotating around axis X uniformly</source>
        <translation>绕X轴匀速旋转</translation>
    </message>
    <message>
        <source>Rotating around axis Y uniformly</source>
        <translation>绕Y轴匀速旋转</translation>
    </message>
    <message>
        <source>Rotating around axis Z uniformly</source>
        <translation>绕Z轴匀速旋转</translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation>全部重置</translation>
    </message>
    <message>
        <source>Switch mode failed.</source>
        <translation>切换模式失败。</translation>
    </message>
    <message>
        <source>Accelerometer calibration failed, please keep still</source>
        <translation>加速度计标定失败，请保持静止</translation>
    </message>
    <message>
        <source>Accelerometer calibration failed, please align the direction</source>
        <translation>加速度计标定失败，请对准方向</translation>
    </message>
    <message>
        <source>Current axis calibration succeeded!</source>
        <translation>当前轴标定成功！</translation>
    </message>
    <message>
        <source>Accelerometer calibration succeeded!</source>
        <translation>加速度计标定成功！</translation>
    </message>
    <message>
        <source>Gyroscope calibration error, please set it horizontally</source>
        <translation>陀螺仪标定错误，请水平放置</translation>
    </message>
    <message>
        <source>Magnetometer calibration failed, please try again</source>
        <translation>磁力计标定失败，请重试</translation>
    </message>
    <message>
        <source>Magnetometer calibration succeeded!</source>
        <translation>磁力计标定成功！</translation>
    </message>
</context>
<context>
    <name>Trelvan::DopVisualization</name>
    <message>
        <source>DOP Visualization</source>
        <translation>DOP可视化</translation>
    </message>
    <message>
        <source>Couldn't initialize the OpenGL context.</source>
        <translation>无法初始化OpenGL上下文。</translation>
    </message>
    <message>
        <source>Anchors</source>
        <translation>基站</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>范围</translation>
    </message>
    <message>
        <source>DOP</source>
        <translation>DOP</translation>
    </message>
    <message>
        <source>Quit Edit</source>
        <translation>退出编辑</translation>
    </message>
    <message>
        <source>Edit Coordinates</source>
        <translation>编辑坐标</translation>
    </message>
</context>
<context>
    <name>Trelvan::WirelessSetting</name>
    <message>
        <source>Different firmware</source>
        <translation>固件不同</translation>
    </message>
</context>
<context>
    <name>Trelvan::WidgetWirelessSetting</name>
    <message>
        <source>Nodes</source>
        <translation>节点</translation>
    </message>
    <message>
        <source>Find all Nodes</source>
        <translation>查找所有节点</translation>
    </message>
    <message>
        <source>Restart all Tags</source>
        <translation>重启所有标签</translation>
    </message>
    <message>
        <source>Restart all Nodes</source>
        <translation>重启所有节点</translation>
    </message>
    <message>
        <source>Wireless Firmware Update</source>
        <translation>无线固件升级</translation>
    </message>
    <message>
        <source>Setting all %1</source>
        <translation>设置所有%1</translation>
    </message>
    <message>
        <source>Restart all %1</source>
        <translation>重启所有%1</translation>
    </message>
    <message>
        <source>Write parameter failed,</source>
        <translation>写入参数失败，</translation>
    </message>
</context>
<context>
    <name>Trelvan::OperateMenu</name>
    <message>
        <source>Restart</source>
        <translation>重启</translation>
    </message>
    <message>
        <source>Read Parameter</source>
        <translation>读取参数</translation>
    </message>
    <message>
        <source>Write Parameter</source>
        <translation>写入参数</translation>
    </message>
    <message>
        <source>Restart failed</source>
        <translation>重启失败</translation>
    </message>
    <message>
        <source>Read parameter failed</source>
        <translation>读取参数失败</translation>
    </message>
    <message>
        <source>Write parameter failed.</source>
        <translation>写入参数失败。</translation>
    </message>
</context>
</TS>
