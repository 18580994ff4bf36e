<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>modulePrms</name>
    <message>
        <source>恢复默认值</source>
        <translation>Resets Default</translation>
    </message>
</context>
<context>
    <name>IOutlinkForm</name>
    <message>
        <source>模块名称</source>
        <translation>Module Name</translation>
    </message>
    <message>
        <source>槽</source>
        <translation>Slot</translation>
    </message>
    <message>
        <source>子槽</source>
        <translation>Subslot</translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>输入长度</source>
        <translation>Input Data Length</translation>
    </message>
    <message>
        <source>输出长度</source>
        <translation>Output Data Length</translation>
    </message>
    <message>
        <source>扫描周期</source>
        <translation>Scan Timeout</translation>
    </message>
    <message>
        <source>扫描子模块</source>
        <translation>Scan Submodule</translation>
    </message>
    <message>
        <source>编辑模块</source>
        <translation>Edit Module</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Del</translation>
    </message>
</context>
<context>
    <name>IOlinkDevicelistDialog</name>
    <message>
        <source>模块名称</source>
        <translation>Module Name</translation>
    </message>
    <message>
        <source>槽</source>
        <translation>Slot</translation>
    </message>
    <message>
        <source>子槽</source>
        <translation>Subslot</translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>输入长度</source>
        <translation>Input Data Length</translation>
    </message>
    <message>
        <source>输出长度</source>
        <translation>Output Data Length</translation>
    </message>
    <message>
        <source>扫描时间</source>
        <translation>Scan Timeout</translation>
    </message>
    <message>
        <source>模块</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>子模块</source>
        <translation>Submodule</translation>
    </message>
    <message>
        <source>鼠标选择需要插入或者替换的行</source>
        <translation>Select the row that needs to be inserted or replaced</translation>
    </message>
    <message>
        <source>超过了最大子槽数量</source>
        <translation>Exceeded the maximum number of sub slots</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Del</translation>
    </message>
</context>
<context>
    <name>CatalogInfoForm</name>
    <message>
        <source>设备：</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>描述：</source>
        <translation>description:</translation>
    </message>
</context>
<context>
    <name>moduleFrame</name>
    <message>
        <source>产品示图</source>
        <translation>Product img</translation>
    </message>
</context>
<context>
    <name>Caxexport</name>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>导出Cax文件失败</source>
        <translation>Export Cax file failed</translation>
    </message>
</context>
<context>
    <name>MACDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>uartthread</name>
    <message>
        <source>#下载成功</source>
        <translation>#Succeeded</translation>
    </message>
    <message>
        <source>#下载出错</source>
        <translation>#Fail</translation>
    </message>
    <message>
        <source>串口已被占用</source>
        <translation>Serial port in use</translation>
    </message>
</context>
<context>
    <name>TitleForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>TCPThread</name>
    <message>
        <source>#连接超时</source>
        <translation>#Timeout</translation>
    </message>
    <message>
        <source>#下载出错</source>
        <translation>#Fail</translation>
    </message>
    <message>
        <source>#下载成功</source>
        <translation>#Succeeded</translation>
    </message>
</context>
<context>
    <name>FirmwareFileForm</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>打开失败</source>
        <translation>Open Fail</translation>
    </message>
    <message>
        <source>文件错误</source>
        <translation>invalid Firmware</translation>
    </message>
    <message>
        <source>提供的hex文件不对</source>
        <translation>invalid Firmware</translation>
    </message>
</context>
<context>
    <name>SaveDialog</name>
    <message>
        <source>保存配置</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>项目名称</source>
        <translation>Projcet name:</translation>
    </message>
    <message>
        <source>项目路径</source>
        <translation>Save Path:</translation>
    </message>
    <message>
        <source>创建人</source>
        <translation>Edited by::</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>未定义</source>
        <translation>Undefined</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>非正常文件路径</source>
        <translation>Invalid File Path</translation>
    </message>
</context>
<context>
    <name>OpenInfoDialog</name>
    <message>
        <source>文件名称：</source>
        <translation>FileName:</translation>
    </message>
    <message>
        <source>创建建人：</source>
        <translation>Edited by:</translation>
    </message>
    <message>
        <source>修改时间：</source>
        <translation>Modfiy Data:</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>IPModfiy_Dialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>IP  地址</source>
        <translation>IP     </translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Netmask</translation>
    </message>
    <message>
        <source>默认网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Modfiy</translation>
    </message>
    <message>
        <source>IP地址已修改 重新扫描模块</source>
        <translation>IP modification successful, please rescan the module</translation>
    </message>
    <message>
        <source>IP地址修改失败</source>
        <translation>IP modification failed</translation>
    </message>
</context>
<context>
    <name>General</name>
    <message>
        <source>基本设置</source>
        <translation>Basic Settings</translation>
    </message>
    <message>
        <source>恢复默认值</source>
        <translation>Resets Default</translation>
    </message>
</context>
<context>
    <name>moduleinfoForm</name>
    <message>
        <source>模块类型:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>物理地址:</source>
        <translation>MAC:</translation>
    </message>
    <message>
        <source> IP 地址:</source>
        <translation>IP：</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Modfiy</translation>
    </message>
    <message>
        <source>扩展数量:</source>
        <translation>Submodules：</translation>
    </message>
    <message>
        <source>固件版本:</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>背板版本:</source>
        <translation>InterFirmware:</translation>
    </message>
    <message>
        <source>扩展模块信息</source>
        <translation>Submodule Information</translation>
    </message>
    <message>
        <source>描    述:</source>
        <translation>Description:</translation>
    </message>
    <message>
        <source>恢复参数默认值</source>
        <translation>Reset Default Parameter</translation>
    </message>
</context>
<context>
    <name>DownDialog</name>
    <message>
        <source>下载参数</source>
        <translation>Download parameters</translation>
    </message>
    <message>
        <source>通讯地址</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>开始下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>未下载</source>
        <translation>No Action</translation>
    </message>
</context>
<context>
    <name>FirmwareDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Update firmware</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>模块名称</source>
        <translation>ModuleName</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>State</translation>
    </message>
    <message>
        <source>全部升级相同的固件</source>
        <translation>Update all with the same firmware</translation>
    </message>
    <message>
        <source>开始下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>未下载</source>
        <translation>No Action</translation>
    </message>
    <message>
        <source>下载出错</source>
        <translation>Fail</translation>
    </message>
</context>
<context>
    <name>RestoresetDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>工厂工具</source>
        <translation>Factory tools</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Netmask</translation>
    </message>
    <message>
        <source>默认网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>模块名称</source>
        <translation>ModuleName</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>扫描时间</source>
        <translation>ScanTimeout</translation>
    </message>
    <message>
        <source>全局扫描</source>
        <translation>Broadcast Scan</translation>
    </message>
    <message>
        <source>修改IP</source>
        <translation>Modfiy IP</translation>
    </message>
    <message>
        <source>恢复出厂设置</source>
        <translation>Factory Resets</translation>
    </message>
    <message>
        <source>重启模块</source>
        <translation>Module Reset</translation>
    </message>
    <message>
        <source>扫描中：</source>
        <translation>Scaning:</translation>
    </message>
    <message>
        <source>扫描进行中:</source>
        <translation>Scaning</translation>
    </message>
    <message>
        <source>未操作</source>
        <translation>No Action</translation>
    </message>
    <message>
        <source>分配成功</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>开始分配</source>
        <translation>Runing</translation>
    </message>
</context>
<context>
    <name>dhcpDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>DHCP配置</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>未分配</source>
        <translation>No Action</translation>
    </message>
    <message>
        <source>分配成功</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>添加MAC</source>
        <translation>Add MAC</translation>
    </message>
    <message>
        <source>删除MAC</source>
        <translation>Del MAC</translation>
    </message>
    <message>
        <source>启动服务</source>
        <translation>Start DHCP</translation>
    </message>
    <message>
        <source>关闭服务</source>
        <translation>Stop DHCP</translation>
    </message>
    <message>
        <source>加载配置</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>DHCP启动重启模块电源被分配新的IP地址</source>
        <translation>Pleese restart moudle after enabling DHCP Service</translation>
    </message>
    <message>
        <source>信息栏</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>打开失败</source>
        <translation>Open Fail</translation>
    </message>
    <message>
        <source>系统提示</source>
        <translation>System Tips</translation>
    </message>
    <message>
        <source>服务打开失败！</source>
        <translation>DHCP Start Fail</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Cmd:</translation>
    </message>
    <message>
        <source>不存在！</source>
        <translation>Undefined</translation>
    </message>
    <message>
        <source>服务关闭失败！</source>
        <translation>DHCP Stop Fail</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>打开旧配置</source>
        <translation>Open old configuration</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>DHCP服务</source>
        <translation>DHCP Service</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;扫描模块&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Scan Mode&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;下载参数&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Down Parameter&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>导入新的设备描述</source>
        <translation>Import New EDS</translation>
    </message>
    <message>
        <source>拓扑</source>
        <translation>Topology</translation>
    </message>
    <message>
        <source>帮助文档</source>
        <translation>Help Documents</translation>
    </message>
    <message>
        <source>没有可以打开帮助文件夹的程序。帮助文件在：
%1</source>
        <translation>No program could open the help folder. The help files are in:
%1</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Upgrade Firmware</translation>
    </message>
    <message>
        <source>导出Cax文件</source>
        <translation>Export Cax file</translation>
    </message>
    <message>
        <source>语言支持</source>
        <translation>Language Support</translation>
    </message>
    <message>
        <source>模块参数</source>
        <translation>Module Information</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Save failed</translation>
    </message>
</context>
<context>
    <name>SerialLink</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>SerialLine</name>
    <message>
        <source>串口%1不存在</source>
        <translation>Serial port %1 does not exist</translation>
    </message>
    <message>
        <source>串口%1不存在：%2</source>
        <translation>Serial port %1 does not exist: %2</translation>
    </message>
    <message>
        <source>串口%1被占用或无权访问：%2</source>
        <translation>Serial port %1 is in use or not accessible: %2</translation>
    </message>
    <message>
        <source>串口%1已断开：%2</source>
        <translation>Serial port %1 was disconnected: %2</translation>
    </message>
    <message>
        <source>串口%1出错：%2</source>
        <translation>Serial port %1 failed: %2</translation>
    </message>
    <message>
        <source>串口%1被占用：%2</source>
        <translation>Serial port %1 is in use: %2</translation>
    </message>
    <message>
        <source>扫描或下载正在使用</source>
        <translation>a scan or a download is using it</translation>
    </message>
    <message>
        <source>串口%1未打开</source>
        <translation>Serial port %1 is not open</translation>
    </message>
</context>
<context>
    <name>PollLink</name>
    <message>
        <source>地址无效</source>
        <translation>Invalid address</translation>
    </message>
</context>
<context>
    <name>SCANDialog</name>
    <message>
        <source>扫描模块</source>
        <translation>Scanning module</translation>
    </message>
    <message>
        <source>无法打开串口%1</source>
        <translation>Cannot open serial port %1</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>网络</source>
        <translation>Net</translation>
    </message>
    <message>
        <source>本地IP</source>
        <translation>Local IP</translation>
    </message>
    <message>
        <source>IP地址范围：</source>
        <translation>IP Range:</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>重新开始</source>
        <translation>Rescan</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>stop</translation>
    </message>
</context>
<context>
    <name>WeighLinkPage</name>
    <message>
        <source>串口%1上的模块无应答</source>
        <translation>No answer from the module on serial port %1</translation>
    </message>
</context>
<context>
    <name>Weigh_Form</name>
    <message>
        <source>连接成功</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>称重需要串口连接</source>
        <translation>Weighing needs the serial link</translation>
    </message>
</context>
<context>
    <name>weighing_Factory_calibForm</name>
    <message>
        <source>连接成功</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>称重需要串口连接</source>
        <translation>Weighing needs the serial link</translation>
    </message>
</context>
<context>
    <name>weighingconfig</name>
    <message>
        <source>重量数据</source>
        <translation>Weight</translation>
    </message>
    <message>
        <source>毛重:</source>
        <translation>N.W</translation>
    </message>
    <message>
        <source>皮重:</source>
        <translation>T.W</translation>
    </message>
    <message>
        <source>去皮</source>
        <translation>Tare</translation>
    </message>
    <message>
        <source>净重:</source>
        <translation>N.W</translation>
    </message>
    <message>
        <source>清皮</source>
        <translation>Clear Tare</translation>
    </message>
    <message>
        <source>标定设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>信息栏</source>
        <translation>Message</translation>
    </message>
</context>
<context>
    <name>MultiCurvesPlot</name>
    <message>
        <source>请再次确认</source>
        <translation>Please confirm again</translation>
    </message>
    <message>
        <source>确认清空吗？</source>
        <translation>Clear all history data?</translation>
    </message>
</context>
<context>
    <name>TempCtlForm</name>
    <message>
        <source>曲线</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>下载参数</source>
        <translation>Download parameters</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>此页没有参数表：请扫描模块后再传输</source>
        <translation>This page has no tables: scan the module before a transfer</translation>
    </message>
    <message>
        <source>参数表只能与网络连接的模块传输</source>
        <translation>The tables can only be moved to a module on the network</translation>
    </message>
</context>
<context>
    <name>Tempctl_PID_Form</name>
    <message>
        <source>打开</source>
        <translation>Connect</translation>
    </message>
</context>
<context>
    <name>FormIO</name>
    <message>
        <source>串口%1上的模块无应答</source>
        <translation>No answer from the module on serial port %1</translation>
    </message>
    <message>
        <source>模块%1无应答</source>
        <translation>No answer from module %1</translation>
    </message>
    <message><source>Form</source><translation>Form</translation></message>
    <message><source>地址</source><translation>Address</translation></message>
    <message><source>数据类型</source><translation>Data Type</translation></message>
    <message><source>显示格式</source><translation>Display Format</translation></message>
    <message><source>当前值</source><translation>Monitor Value</translation></message>
    <message><source>修改值</source><translation>Modify Value</translation></message>
    <message><source>字节交换</source><translation>Swap Byte</translation></message>
    <message><source>使能修改</source><translation>Enable Write</translation></message>
    <message><source>描述</source><translation>Description</translation></message>
    <message><source>打开</source><translation>Connect</translation></message>
    <message><source>写入</source><translation>Write</translation></message>
    <message><source>曲线</source><translation>Curves</translation></message>
    <message><source>未连接</source><translation>Not connected</translation></message>
    <message><source>监控表</source><translation>Monitor Table</translation></message>
    <message><source>10进制</source><translation>DEC</translation></message>
    <message><source>16进制</source><translation>HEX</translation></message>
    <message><source>2进制</source><translation>BIN</translation></message>
    <message><source>不交换</source><translation>No Swap</translation></message>
    <message><source>交换</source><translation>Swap</translation></message>
    <message><source>错误</source><translation>Error</translation></message>
    <message><source>地址长度不够</source><translation>Not enough address length</translation></message>
    <message><source>地址冲突</source><translation>Address conflict</translation></message>
    <message><source>停止</source><translation>Disconnect</translation></message>
    <message><source>连接成功</source><translation>Run</translation></message>
    <message><source>连接断开</source><translation>Stop</translation></message>
    <message><source>连接失败</source><translation>Connection failed</translation></message>
    <message><source>提示</source><translation>Information</translation></message>
    <message><source>该模块的过程映像为空，没有可监控的I/O点</source><translation>The module's process image is empty: there are no I/O points to monitor</translation></message>
</context>
<context>
    <name>IO_Monitor_Curve_Dialog</name>
    <message><source>变量曲线</source><translation>Variable Curves</translation></message>
    <message><source>变量列表</source><translation>Var List</translation></message>
    <message><source>当前时间：</source><translation>Time</translation></message>
    <message><source>求差：</source><translation>Difference</translation></message>
    <message><source>值：</source><translation>D-Value</translation></message>
    <message><source>曲线设置</source><translation>Curve setting</translation></message>
    <message><source>Y轴最小值</source><translation>Y-Axis Min</translation></message>
    <message><source>Y轴范围</source><translation>Y-Axis Range</translation></message>
    <message><source> 0 代表自动</source><translation> 0 means auto</translation></message>
    <message><source>自动</source><translation>Auto</translation></message>
    <message><source>游标</source><translation>Enable cursor</translation></message>
    <message><source>错误</source><translation>Error</translation></message>
    <message><source>超过最大监控数量</source><translation>Exceeding the maximum</translation></message>
</context>
<context>
    <name>modbusconfig</name>
    <message>
        <source>Excel文件中没有可导入的行，表格未改变</source>
        <translation>The Excel file holds no row to import; the table is unchanged</translation>
    </message>
    <message>
        <source>Excel文件无法读取，表格未改变</source>
        <translation>The Excel file cannot be read; the table is unchanged</translation>
    </message>
    <message>
        <source>Modbus配置</source>
        <translation>Modbus Configure</translation>
    </message>
    <message>
        <source>从机地址</source>
        <translation>Slave Address</translation>
    </message>
    <message>
        <source>功能码</source>
        <translation>Fun Code</translation>
    </message>
    <message>
        <source>寄存器地址</source>
        <translation>Reg Address</translation>
    </message>
    <message>
        <source>数据长度</source>
        <translation>Data Length</translation>
    </message>
    <message>
        <source>I.地址</source>
        <translation>I.Address</translation>
    </message>
    <message>
        <source>Q.地址</source>
        <translation>Q.Address</translation>
    </message>
    <message>
        <source>统计</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>总计槽数</source>
        <translation>Sum slots</translation>
    </message>
    <message>
        <source>输入数据总长度</source>
        <translation>Input Size</translation>
    </message>
    <message>
        <source>输出数据总长度</source>
        <translation>OutputSize</translation>
    </message>
    <message>
        <source>  包含：状态寄存器(1 Word)   控制寄存器(1 Word)</source>
        <translation>Contains the status register bits and control register bits</translation>
    </message>
    <message>
        <source>创建新Excel</source>
        <translation>Create new Excel</translation>
    </message>
    <message>
        <source>导入Excel</source>
        <translation>Import Excel</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>超出了槽数量</source>
        <translation>Overflow max slot number</translation>
    </message>
    <message>
        <source>超出了输入数据长度</source>
        <translation>Overflow max input size</translation>
    </message>
    <message>
        <source>超出了输出数据长度</source>
        <translation>Overflow max output size</translation>
    </message>
    <message>
        <source>模板文件丢失，创建文件失败</source>
        <translation>Template file is missing, creating file failed</translation>
    </message>
    <message>
        <source>创建文件失败</source>
        <translation>Failed to create file</translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>01 读线圈</source>
        <translation>01 Read Coid</translation>
    </message>
    <message>
        <source>02 读离散输入</source>
        <translation>02 Read Discrete inputs</translation>
    </message>
    <message>
        <source>03 读保持寄存器</source>
        <translation>03 Read holding Reg</translation>
    </message>
    <message>
        <source>04 读输入寄存器</source>
        <translation>04 Read Input Reg</translation>
    </message>
    <message>
        <source>05 写单个线圈</source>
        <translation>05 Write Single Coil</translation>
    </message>
    <message>
        <source>06 写单个寄存器</source>
        <translation>06 Wirte Single Reg</translation>
    </message>
    <message>
        <source>15 写多个线圈</source>
        <translation>15 Write Multiple Coils</translation>
    </message>
    <message>
        <source>16 写多个寄存器</source>
        <translation>16 Write Multipe Regs</translation>
    </message>
</context>
<context>
    <name>EcatModbusConfig</name>
    <message>
        <source>Excel文件中没有可导入的行，表格未改变</source>
        <translation>The Excel file holds no row to import; the table is unchanged</translation>
    </message>
    <message>
        <source>Excel文件无法读取，表格未改变</source>
        <translation>The Excel file cannot be read; the table is unchanged</translation>
    </message>
    <message>
        <source>Modbus配置</source>
        <translation>Modbus Configure</translation>
    </message>
    <message>
        <source>从机地址</source>
        <translation>Slave Address</translation>
    </message>
    <message>
        <source>功能码</source>
        <translation>Fun Code</translation>
    </message>
    <message>
        <source>寄存器地址</source>
        <translation>Reg Address</translation>
    </message>
    <message>
        <source>数据长度</source>
        <translation>Data Length</translation>
    </message>
    <message>
        <source>触发方式</source>
        <translation>Trigger Mode</translation>
    </message>
    <message>
        <source>轮询时间</source>
        <translation>Poll Time</translation>
    </message>
    <message>
        <source>超时时间</source>
        <translation>Timeout Time</translation>
    </message>
    <message>
        <source>交换字节</source>
        <translation>Swap</translation>
    </message>
    <message>
        <source>位访问</source>
        <translation>BITARR</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>产品名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>产品代码</source>
        <translation>ProductCode</translation>
    </message>
    <message>
        <source>状态字使能</source>
        <translation>Status word</translation>
    </message>
    <message>
        <source>控制字使能</source>
        <translation>Control word</translation>
    </message>
    <message>
        <source>创建新Excel</source>
        <translation>Create new Excel</translation>
    </message>
    <message>
        <source>导入Excel</source>
        <translation>Import Excel</translation>
    </message>
    <message>
        <source>导出ESI</source>
        <translation>Ethercat ESI</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>时间轮询</source>
        <translation>Poll Mode</translation>
    </message>
    <message>
        <source>改变触发</source>
        <translation>Change Trigger</translation>
    </message>
    <message>
        <source>是</source>
        <translation>True</translation>
    </message>
    <message>
        <source>否</source>
        <translation>False</translation>
    </message>
    <message>
        <source>超出了槽数量</source>
        <translation>Overflow max slot number</translation>
    </message>
    <message>
        <source>模板文件丢失，创建文件失败</source>
        <translation>Template file is missing, creating file failed</translation>
    </message>
    <message>
        <source>创建文件失败</source>
        <translation>Failed to create file</translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>产品代码不能为空</source>
        <translation>The product code must not be empty</translation>
    </message>
    <message>
        <source>01 读线圈</source>
        <translation>01 Read Coid</translation>
    </message>
    <message>
        <source>02 读离散输入</source>
        <translation>02 Read Discrete inputs</translation>
    </message>
    <message>
        <source>03 读保持寄存器</source>
        <translation>03 Read holding Reg</translation>
    </message>
    <message>
        <source>04 读输入寄存器</source>
        <translation>04 Read Input Reg</translation>
    </message>
    <message>
        <source>05 写单个线圈</source>
        <translation>05 Write Single Coil</translation>
    </message>
    <message>
        <source>06 写单个寄存器</source>
        <translation>06 Wirte Single Reg</translation>
    </message>
    <message>
        <source>15 写多个线圈</source>
        <translation>15 Write Multiple Coils</translation>
    </message>
    <message>
        <source>16 写多个寄存器</source>
        <translation>16 Write Multipe Regs</translation>
    </message>
</context>
<context>
    <name>mscomm_config</name>
    <message>
        <source>Excel文件中没有可导入的行，表格未改变</source>
        <translation>The Excel file holds no row to import; the table is unchanged</translation>
    </message>
    <message>
        <source>Excel文件无法读取，表格未改变</source>
        <translation>The Excel file cannot be read; the table is unchanged</translation>
    </message>
    <message>
        <source>通讯配置</source>
        <translation>通讯配置</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>从机地址</source>
        <translation>Slave Address</translation>
    </message>
    <message>
        <source>功能码</source>
        <translation>Fun Code</translation>
    </message>
    <message>
        <source>寄存器地址</source>
        <translation>Reg Address</translation>
    </message>
    <message>
        <source>交换字节</source>
        <translation>Swap</translation>
    </message>
    <message>
        <source>输入数据长度</source>
        <translation>Input_Date_Len</translation>
    </message>
    <message>
        <source>输出数据长度</source>
        <translation>Output Date Len</translation>
    </message>
    <message>
        <source>触发方式</source>
        <translation>Trigger Mode</translation>
    </message>
    <message>
        <source>轮询时间</source>
        <translation>Poll Time</translation>
    </message>
    <message>
        <source>超时时间</source>
        <translation>Timeout Time</translation>
    </message>
    <message>
        <source>I.地址</source>
        <translation>I.Address</translation>
    </message>
    <message>
        <source>Q.地址</source>
        <translation>Q.Address</translation>
    </message>
    <message>
        <source>描述</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>状态字使能</source>
        <translation>Status word</translation>
    </message>
    <message>
        <source>控制字使能</source>
        <translation>Control word</translation>
    </message>
    <message>
        <source>字节交换</source>
        <translation>Swap</translation>
    </message>
    <message>
        <source>总计槽数</source>
        <translation>Sum slots</translation>
    </message>
    <message>
        <source>输入数据总长度</source>
        <translation>I_Size(byte)</translation>
    </message>
    <message>
        <source>输出数据总长度</source>
        <translation>O_Size(byte)</translation>
    </message>
    <message>
        <source>状态字地址(2BIT/Slot)</source>
        <translation>State Address(2BIT/Slot) {2B?}</translation>
    </message>
    <message>
        <source>控制字地址(1BIT/Slot)</source>
        <translation>Ctl Address(1BIT/Slot) {1B?}</translation>
    </message>
    <message>
        <source>创建新Excel</source>
        <translation>Create new Excel</translation>
    </message>
    <message>
        <source>导入Excel</source>
        <translation>Import Excel</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>端口1</source>
        <translation>Port1</translation>
    </message>
    <message>
        <source>端口2</source>
        <translation>Port2</translation>
    </message>
    <message>
        <source>时间轮询</source>
        <translation>Poll Mode</translation>
    </message>
    <message>
        <source>改变触发</source>
        <translation>Change Trigger</translation>
    </message>
    <message>
        <source>是</source>
        <translation>True</translation>
    </message>
    <message>
        <source>否</source>
        <translation>False</translation>
    </message>
    <message>
        <source>自由协议</source>
        <translation>Free Message</translation>
    </message>
    <message>
        <source>超出槽数量</source>
        <translation>Overflow max slot number</translation>
    </message>
    <message>
        <source>超出了槽数量</source>
        <translation>Overflow max slot number</translation>
    </message>
    <message>
        <source>超出了输入数据长度</source>
        <translation>Overflow max input size</translation>
    </message>
    <message>
        <source>超出了输出数据长度</source>
        <translation>Overflow max output size</translation>
    </message>
    <message>
        <source>模板文件丢失，创建文件失败</source>
        <translation>Template file is missing, creating file failed</translation>
    </message>
    <message>
        <source>创建文件失败</source>
        <translation>Failed to create file</translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>01 读线圈</source>
        <translation>01 Read Coid</translation>
    </message>
    <message>
        <source>02 读离散输入</source>
        <translation>02 Read Discrete inputs</translation>
    </message>
    <message>
        <source>03 读保持寄存器</source>
        <translation>03 Read holding Reg</translation>
    </message>
    <message>
        <source>04 读输入寄存器</source>
        <translation>04 Read Input Reg</translation>
    </message>
    <message>
        <source>05 写单个线圈</source>
        <translation>05 Write Single Coil</translation>
    </message>
    <message>
        <source>06 写单个寄存器</source>
        <translation>06 Wirte Single Reg</translation>
    </message>
    <message>
        <source>15 写多个线圈</source>
        <translation>15 Write Multiple Coils</translation>
    </message>
    <message>
        <source>16 写多个寄存器</source>
        <translation>16 Write Multipe Regs</translation>
    </message>
</context>
<context>
    <name>Tempctl_Manual_Dialog</name>
    <message>
        <source>调试页面</source>
        <translation>Debug page</translation>
    </message>
    <message>
        <source>监控参数名称</source>
        <translation>Monitored value</translation>
    </message>
    <message>
        <source>调试参数名称</source>
        <translation>Debug value</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel </translation>
    </message>
    <message>
        <source>控制方式</source>
        <translation>Control mode</translation>
    </message>
    <message>
        <source>状态寄存器</source>
        <translation>Status register</translation>
    </message>
    <message>
        <source>控制寄存器</source>
        <translation>Control register</translation>
    </message>
    <message>
        <source>当前P</source>
        <translation>Current P</translation>
    </message>
    <message>
        <source>当前I</source>
        <translation>Current I</translation>
    </message>
    <message>
        <source>当前D</source>
        <translation>Current D</translation>
    </message>
    <message>
        <source>目标值</source>
        <translation>Target value</translation>
    </message>
    <message>
        <source>实时值</source>
        <translation>Actual value</translation>
    </message>
    <message>
        <source>自动识别状态</source>
        <translation>Tuning state</translation>
    </message>
    <message>
        <source>识别参数P</source>
        <translation>Tuned P</translation>
    </message>
    <message>
        <source>识别参数I</source>
        <translation>Tuned I</translation>
    </message>
    <message>
        <source>当前输出量</source>
        <translation>Current output</translation>
    </message>
    <message>
        <source>设置P</source>
        <translation>Set P</translation>
    </message>
    <message>
        <source>设置I</source>
        <translation>Set I</translation>
    </message>
    <message>
        <source>设置D</source>
        <translation>Set D</translation>
    </message>
    <message>
        <source>修改目标值</source>
        <translation>Set target value</translation>
    </message>
    <message>
        <source>手动设置输出量</source>
        <translation>Manual output</translation>
    </message>
    <message>
        <source>空闲</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>启动</source>
        <translation>Started</translation>
    </message>
    <message>
        <source>获取响应延时</source>
        <translation>Measuring delay</translation>
    </message>
    <message>
        <source>获取变化量最大值</source>
        <translation>Measuring max. slope</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>自动模式</source>
        <translation>Automatic</translation>
    </message>
    <message>
        <source>手动模式</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>监控模式</source>
        <translation>Monitor mode</translation>
    </message>
    <message>
        <source>调试模式</source>
        <translation>Debug mode</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>断开连接</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>重新连接</source>
        <translation>Reconnect</translation>
    </message>
    <message>
        <source>Tip: 写入界面可以修改数据，但是数据不保存，临时调试使用</source>
        <translation>Tip: values written here change the module for debugging only; they are not saved</translation>
    </message>
</context>
<context>
    <name>TempCtrlRegDialog</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>参数识别启动</source>
        <translation>Start tuning</translation>
    </message>
</context>
<context>
    <name>IoLink_Module</name>
    <message>
        <source>成功</source>
        <translation>succee</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>失败 </source>
        <translation>---&gt;</translation>
    </message>
    <message>
        <source>输入输出参数设置</source>
        <translation>Input and output parameter settings
</translation>
    </message>
    <message>
        <source>IoLink端口设置</source>
        <translation>IoLink Port settings</translation>
    </message>
    <message>
        <source>设置ISDU</source>
        <translation>Set up ISDU</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>IO-Link需要耦合器的串口连接，请通过串口扫描该模块</source>
        <translation>IO-Link needs the coupler's serial link: scan the module over its COM port</translation>
    </message>
</context>
<context>
    <name>IoLinkPortSetform</name>
    <message>
        <source>端口1</source>
        <translation>Port1</translation>
    </message>
    <message>
        <source>端口2</source>
        <translation>Port2</translation>
    </message>
    <message>
        <source>端口3</source>
        <translation>Port3</translation>
    </message>
    <message>
        <source>端口4</source>
        <translation>Port4</translation>
    </message>
    <message>
        <source>端口设置</source>
        <translation>Port Setting</translation>
    </message>
</context>
<context>
    <name>IoLinkParamForm</name>
    <message>
        <source>端口1</source>
        <translation>Port1</translation>
    </message>
    <message>
        <source>端口2</source>
        <translation>Port2</translation>
    </message>
    <message>
        <source>端口3</source>
        <translation>Port3</translation>
    </message>
    <message>
        <source>端口4</source>
        <translation>Port4</translation>
    </message>
    <message>
        <source>参数设置</source>
        <translation>Parameter setting</translation>
    </message>
</context>
<context>
    <name>IoLinkInfoForm</name>
    <message>
        <source>端口1</source>
        <translation>Port1</translation>
    </message>
    <message>
        <source>端口2</source>
        <translation>Port2</translation>
    </message>
    <message>
        <source>端口3</source>
        <translation>Port3</translation>
    </message>
    <message>
        <source>端口4</source>
        <translation>Port4</translation>
    </message>
    <message>
        <source>信息显示</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>IoLinkInfoFrame_Ctrl</name>
    <message>
        <source>标识数据</source>
        <translation>Identification Data</translation>
    </message>
    <message>
        <source>供应商ID(Hex):</source>
        <translation>Vendor ID(Hex):</translation>
    </message>
    <message>
        <source>设备ID(Hex):</source>
        <translation>Device ID(Hex):</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>厂商名称:</source>
        <translation>Vendor Name:</translation>
    </message>
    <message>
        <source>产品ID:</source>
        <translation>Product ID:</translation>
    </message>
    <message>
        <source>产品文本:</source>
        <translation>Product Text:</translation>
    </message>
    <message>
        <source>固件版本:</source>
        <translation>Firmware Revision:</translation>
    </message>
    <message>
        <source>特定于应用程序的标记:</source>
        <translation>Application specific tag:</translation>
    </message>
    <message>
        <source>调试数据</source>
        <translation>Process Data</translation>
    </message>
    <message>
        <source>事件代码 (Hex):</source>
        <translation>Event Code(Hex):</translation>
    </message>
    <message>
        <source>IoLink过程数据</source>
        <translation>IoLink Process Data:</translation>
    </message>
    <message>
        <source>输入长度:</source>
        <translation>Inputs Size:</translation>
    </message>
    <message>
        <source>输出长度:</source>
        <translation>Outputs Size:</translation>
    </message>
</context>
<context>
    <name>MQTT_Form</name>
    <message>
        <source>MQTT</source>
        <translation>MQTT</translation>
    </message>
</context>
<context>
    <name>MQTT_Down_Dialog</name>
    <message>
        <source>未下载</source>
        <translation>No Action</translation>
    </message>
</context>
<context>
    <name>Mqtt_Subscribe_Dialog</name>
    <message>
        <source>寄存器地址</source>
        <translation>Reg Address</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>ModbusMonitor</name>
    <message>
        <source>通讯监控</source>
        <translation>Message monitor</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>清空数据</source>
        <translation>Clean Data</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Save Data</translation>
    </message>
    <message>
        <source>过滤设置(不显示slot=):</source>
        <translation>Filter (No Show slot = )</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>打开通讯失败：%1</source>
        <translation>Failed to open the link: %1</translation>
    </message>
    <message>
        <source>保存失败：%1</source>
        <translation>Failed to save: %1</translation>
    </message>
</context>
<context>
    <name>TempCurveDialog</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>本地UDP端口%1不可用：%2</source>
        <translation>Local UDP port %1 is not available: %2</translation>
    </message>
    <message>
        <source>开始监控</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>曲线</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>曲线设置</source>
        <translation>Curve setting</translation>
    </message>
    <message>
        <source>当前时间：</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>求差：</source>
        <translation>Difference</translation>
    </message>
    <message>
        <source>值：</source>
        <translation>D-Value</translation>
    </message>
    <message>
        <source>Y轴最小值</source>
        <translation>Y-Axis Min </translation>
    </message>
    <message>
        <source>Y轴范围</source>
        <translation>Y-Axis Range</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>auto</translation>
    </message>
    <message>
        <source>游标</source>
        <translation>Enable cursor</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Save Data</translation>
    </message>
</context>
<context>
    <name>IoLinkPortSetFrame_Ctrl</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;输出安全模式:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>Output Safe Mode:</translation>
    </message>
    <message>
        <source>Pin4输入滤波(ms):</source>
        <translation>Pin4 Input Filter(ms):	</translation>
    </message>
    <message>
        <source>保持</source>
        <translation>Last Value</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>索引(HEX):</source>
        <translation>Index(Hex):</translation>
    </message>
    <message>
        <source>子索引(HEX):</source>
        <translation>SubIndex(Hex):</translation>
    </message>
    <message>
        <source>数据(HEX):</source>
        <translation>Data (Hex):</translation>
    </message>
    <message>
        <source>输入输出参数</source>
        <translation>Input/output Parameter</translation>
    </message>
    <message>
        <source>IoLink端口设置</source>
        <translation>IoLink Port settings</translation>
    </message>
    <message>
        <source>不校验</source>
        <translation>Un Check</translation>
    </message>
    <message>
        <source>兼容</source>
        <translation>Compatible</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>过程数据</source>
        <translation>Process Data:</translation>
    </message>
    <message>
        <source>IoCircle输入错误，需要0到255的10进制数!</source>
        <translation>IoCircle input error, requires decimal number from 0 to 255!</translation>
    </message>
    <message>
        <source>InputLength输入错误，需要0到32的10进制数!</source>
        <translation>InputLength input error, requires decimal number from 0 to 32!</translation>
    </message>
    <message>
        <source>OutputLength输入错误，需要0到32的10进制数!</source>
        <translation>OutputLength input error, requires decimal number from 0 to 32!</translation>
    </message>
    <message>
        <source>索引输入错误，输入不能为空且为16进制!</source>
        <translation>Index input error, the input cannot be empty and is 16 decimal!</translation>
    </message>
    <message>
        <source>子索引输入错误，输入不能为空且为16进制!</source>
        <translation>Subindex input error, input cannot be empty and is 16 decimall!</translation>
    </message>
    <message>
        <source>输入数据格式不对! 请按字节输入16进制中间用空格隔开,且不能为空!</source>
        <translation>Wrong input data format! Please enter 16 by space space space space space and cannot be empty!</translation>
    </message>
    <message>
        <source>输入数据不能超过%1个</source>
        <translation>Input data cannot exceed %1</translation>
    </message>
    <message>
        <source>读取ISDU数据失败 </source>
        <translation>Read the ISDU data fail</translation>
    </message>
    <message>
        <source>读取ISDU数据成功</source>
        <translation>Read the ISDU data successfully</translation>
    </message>
</context>
<context>
    <name>IoLinkParamFrame_Ctrl</name>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>测试</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>succee</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>输入数据不能超过%1个</source>
        <translation>Input data cannot exceed %1</translation>
    </message>
</context>
</TS>
