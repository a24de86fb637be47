<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <location filename="../qt_texts.cpp" line="+5"/>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>文件夹</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>快捷方式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Drive</source>
        <translation>驱动器</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
<context>
    <name>tgw::core::transfer</name>
    <message>
        <location filename="../../transfer/hex_bytes.cpp" line="+104"/>
        <source>%.*s: &apos;%s&apos; is not hexadecimal; type bytes as pairs of the digits 0-9 and A-F, such as &quot;AA 01 02&quot;</source>
        <translation>%.*s：“%s”不是十六进制数；请以 0-9 和 A-F 两位一组输入字节，例如 &quot;AA 01 02&quot;</translation>
    </message>
    <message>
        <location filename="../../transfer/io_wait.cpp" line="+68"/>
        <source>Permission denied</source>
        <translation>权限不够</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Address already in use</source>
        <translation>地址已在使用</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot assign requested address</source>
        <translation>无法指定被请求的地址</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Resource temporarily unavailable</source>
        <translation>资源暂时不可用</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Device or resource busy</source>
        <translation>设备或资源忙</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Software caused connection abort</source>
        <translation>软件导致连接中止</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection refused</source>
        <translation>连接被拒绝</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection reset by peer</source>
        <translation>连接被对方重置</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Host is down</source>
        <translation>主机关闭</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No route to host</source>
        <translation>没有到主机的路由</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Interrupted system call</source>
        <translation>系统调用被中断</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Invalid argument</source>
        <translation>无效的参数</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Input/output error</source>
        <translation>输入/输出错误</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Is a directory</source>
        <translation>是一个目录</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message too long</source>
        <translation>消息过长</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Network is down</source>
        <translation>网络已关闭</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Network is unreachable</source>
        <translation>网络不可达</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No buffer space available</source>
        <translation>没有可用的缓冲区空间</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No such device</source>
        <translation>没有那个设备</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No such file or directory</source>
        <translation>没有那个文件或目录</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot allocate memory</source>
        <translation>无法分配内存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Inappropriate ioctl for device</source>
        <translation>对设备不适当的 ioctl 操作</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No such device or address</source>
        <translation>没有那个设备或地址</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Operation not permitted</source>
        <translation>不允许的操作</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Broken pipe</source>
        <translation>管道已断开</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connection timed out</source>
        <translation>连接超时</translation>
    </message>
    <message>
        <location filename="../../transfer/net_socket.cpp" line="+52"/>
        <location line="+7"/>
        <location line="+6"/>
        <source>&apos;%s&apos; is not an IPv4 address of four numbers 0 to 255</source>
        <translation>“%s”不是由四个 0 到 255 的数组成的 IPv4 地址</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>field %zu of the address is empty</source>
        <translation>地址的第 %zu 段为空</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>field %zu of the address is %d, not 0 to 255</source>
        <translation>地址的第 %zu 段为 %d，不在 0 到 255 之间</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>no socket could be made: %s</source>
        <translation>无法建立套接字：%s</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>no answer within %d ms</source>
        <translation>%d 毫秒内没有应答</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+67"/>
        <location filename="../../transfer/serial_port.cpp" line="+158"/>
        <location line="+33"/>
        <source>cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <location line="-46"/>
        <source>the peer closed the connection</source>
        <translation>对方关闭了连接</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>%zu of %zu bytes were sent: %s</source>
        <translation>已发送 %zu / %zu 字节：%s</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%zu of %zu bytes were sent; the peer took nothing more for %d ms</source>
        <translation>已发送 %zu / %zu 字节；对方已有 %d 毫秒未再接收数据</translation>
    </message>
    <message>
        <location filename="../../transfer/network_transfer.cpp" line="+11"/>
        <source>the port must be 1 to 65535</source>
        <translation>端口必须在 1 到 65535 之间</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the reply time-out must be 1 to 65535 ms</source>
        <translation>接收超时必须在 1 到 65535 毫秒之间</translation>
    </message>
    <message>
        <location filename="../../transfer/packet_framing.cpp" line="+14"/>
        <source>the packet size must be 1 to %zu bytes</source>
        <translation>数据长度必须在 1 到 %zu 字节之间</translation>
    </message>
    <message>
        <location filename="../../transfer/packet_transfer.cpp" line="+59"/>
        <source>Transfer stopped at packet %zu of %zu (%s); %zu sent in full.</source>
        <translation>传输在第 %zu 包（共 %zu 包）处停止（%s）；已完整发送 %zu 包。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>packet %zu of %zu: %s</source>
        <translation>第 %zu 包（共 %zu 包）：%s</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Transfer cancelled after %zu of %zu packets.</source>
        <translation>传输已取消，已发送 %zu 包（共 %zu 包）。</translation>
    </message>
    <message>
        <location filename="../../transfer/serial_port.cpp" line="-164"/>
        <source>unknown error</source>
        <translation>未知错误</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>the serial ports cannot be listed: %s</source>
        <translation>无法列出串口：%s</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>no serial port was given</source>
        <translation>未指定串口</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the baud rate must be above 0</source>
        <translation>波特率必须大于 0</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%s is not a serial port</source>
        <translation>%s 不是串口</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%s is in use by another program</source>
        <translation>%s 已被其他程序占用</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>%s does not take %u baud: %s</source>
        <translation>%s 不支持 %u 波特率：%s</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>the port&apos;s input cannot be emptied: %s</source>
        <translation>无法清空串口的输入缓冲：%s</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>%zu of %zu bytes were written: %s</source>
        <translation>已写入 %zu / %zu 字节：%s</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%zu of %zu bytes were written; the port took nothing more for %d ms</source>
        <translation>已写入 %zu / %zu 字节；串口已有 %d 毫秒未再接收数据</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>%d bytes stayed in the port&apos;s output queue for %d ms</source>
        <translation>串口输出队列中有 %d 字节滞留了 %d 毫秒</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>the device hung up</source>
        <translation>设备已断开</translation>
    </message>
</context>
</TS>
