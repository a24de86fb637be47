<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>tgw::CAddCharsDialog</name>
    <message>
        <location filename="../add_chars_dialog.cpp" line="+17"/>
        <source>添加单写字符</source>
        <translation>Add Single Characters</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入待取模的字符，每个字符生成一个字模：</source>
        <translation>Type the characters to convert; each character becomes one matrix:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>导入...</source>
        <translation>Import...</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>请指定需导入的文件...</source>
        <translation>Choose the file to import...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>文本文件 (*.txt);;所有文件 (*.*)</source>
        <translation>Text files (*.txt);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>文件打开失败，请检查后重试！</source>
        <translation>The file could not be opened. Please check it and try again.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件过大（超过 %1 MB），无法导入！</source>
        <translation>The file is too large (over %1 MB) to import.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>文件读取失败，请检查后重试！</source>
        <translation>The file could not be read. Please check it and try again.</translation>
    </message>
</context>
<context>
    <name>tgw::CAddStringDialog</name>
    <message>
        <location filename="../add_string_dialog.cpp" line="+34"/>
        <source>从右向左阅读</source>
        <translation>Right-to-left reading</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加连写文字</source>
        <translation>Add Text String</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入待取模的文字，全部文字生成一个字模（可以多行）：</source>
        <translation>Type the text to convert; all of it becomes one matrix (several lines allowed):</translation>
    </message>
</context>
<context>
    <name>tgw::CCodeFormatDialog</name>
    <message>
        <location filename="../code_format_dialog.cpp" line="+47"/>
        <source>字节行从上到下，每行从左到右</source>
        <translation>Byte rows top to bottom, each row left to right</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>字节行从下到上，每行从左到右</source>
        <translation>Byte rows bottom to top, each row left to right</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字节行从上到下，每行从右到左</source>
        <translation>Byte rows top to bottom, each row right to left</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>字节行从下到上，每行从右到左</source>
        <translation>Byte rows bottom to top, each row right to left</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字节列从左到右，每列从上到下</source>
        <translation>Byte columns left to right, each column top to bottom</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>字节列从右到左，每列从上到下</source>
        <translation>Byte columns right to left, each column top to bottom</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字节列从左到右，每列从下到上</source>
        <translation>Byte columns left to right, each column bottom to top</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>字节列从右到左，每列从下到上</source>
        <translation>Byte columns right to left, each column bottom to top</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>代码格式</source>
        <translation>Code Format</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>取点方式</source>
        <translation>Dot order</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>字节排列</source>
        <translation>Byte order</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>模式%1</source>
        <translation>Order %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>C 语言</source>
        <translation>C language</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>汇编语言</source>
        <translation>Assembler</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>MBCS (GB2312 编码)</source>
        <translation>MBCS (GB2312 codes)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>UNICODE (UCS-2 编码)</source>
        <translation>UNICODE (UCS-2 codes)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>文件编码 (&amp;N)</source>
        <translation>E&amp;ncoding</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>GBK，CRLF 换行</source>
        <translation>GBK, CRLF line ends</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>UTF-8，LF 换行</source>
        <translation>UTF-8, LF line ends</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>代码文件中注释文字的编码与换行符；点阵数据不变</source>
        <translation>How the comments of the code file are encoded and how its lines end; the matrix data stay the same</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>代码模板</source>
        <translation>Code templates</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>每个字模代码之后：</source>
        <translation>After each matrix:</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>代码查看程序</source>
        <translation>Code viewer program</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>字节示意 (数字为字节序号，红角为最高位)</source>
        <translation>Byte layout (numbers are byte indexes, the red corner marks the high bit)</translation>
    </message>
    <message>
        <location line="+107"/>
        <source>要求：</source>
        <translation>Requires: </translation>
    </message>
    <message>
        <location line="+30"/>
        <source>符合的预设：无</source>
        <translation>Matching presets: none</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>符合的预设：</source>
        <translation>Matching presets: </translation>
    </message>
    <message>
        <location line="-31"/>
        <location line="+10"/>
        <location line="+21"/>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <location line="-229"/>
        <source>%1°</source>
        <translation>%1°</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>预设 (&amp;P)</source>
        <translation>&amp;Preset</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>安装方向 (&amp;R)</source>
        <translation>&amp;Mounting</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>显示屏顺时针转过的角度</source>
        <translation>How far the display is turned clockwise</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>每个字模代码之前 (%MATRIXCODE_HEAD_FONT% 为字体说明，Ctrl+Tab 输入制表符)：</source>
        <translation>Before each matrix (%MATRIXCODE_HEAD_FONT% is the font description; Ctrl+Tab types a tab):</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>每个字模代码之前</source>
        <translation>Before each matrix</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>程序内的代码窗口</source>
        <translation>the program&apos;s own code window</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>字节示意</source>
        <translation>Byte layout</translation>
    </message>
    <message>
        <location line="+80"/>
        <source>自定义：按下面选定的取点方式与字节排列输出，点阵不做改动。</source>
        <translation>Custom: the dot and byte orders chosen below; the dots stay as they are.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>整屏 %1x%2 (%3)</source>
        <translation>the whole %1x%2 screen (%3)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>竖屏</source>
        <translation>portrait</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>横屏</source>
        <translation>landscape</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>固定 %1x%2 点阵</source>
        <translation>a fixed %1x%2 matrix</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>每点 %1 位</source>
        <translation>%1 bits a dot</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>宽度为 %1 的倍数</source>
        <translation>width a multiple of %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>高度为 %1 的倍数</source>
        <translation>height a multiple of %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>每行左右镜像</source>
        <translation>each row mirrored left-right</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>点阵反色 (亮点以 0 发送)</source>
        <translation>dots inverted (lit dots sent as 0)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>转回显示屏存储的方向 (%1°)</source>
        <translation>turned back into the display&apos;s memory orientation (%1°)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>输出时：</source>
        <translation>On export: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>点阵不变，只定顺序</source>
        <translation>the dots stay as they are, only the orders are set</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>警告：当前点阵 %1x%2 不符合要求</source>
        <translation>Warning: the current %1x%2 matrix does not meet these needs</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>模式%1：%2</source>
        <translation>Order %1: %2</translation>
    </message>
</context>
<context>
    <name>tgw::CCodeViewer</name>
    <message>
        <location filename="../../view/code_viewer.cpp" line="+21"/>
        <source>代码预览</source>
        <translation>Code Preview</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>复制全部</source>
        <translation>Copy All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>另存为...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>保存至...</source>
        <translation>Save To...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ASM 源文件 (*.asm);;所有文件 (*.*)</source>
        <translation>ASM source files (*.asm);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>C 源文件 (*.c);;所有文件 (*.*)</source>
        <translation>C source files (*.c);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Tessaglyphworks 提示</source>
        <translation>Tessaglyphworks Notice</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件打开失败，请检查！

</source>
        <translation>The file could not be opened. Please check it.

</translation>
    </message>
</context>
<context>
    <name>tgw::CDepthBox</name>
    <message>
        <location filename="../depth_box.cpp" line="+8"/>
        <source>1 位/点 (亮或暗)</source>
        <translation>1 bit a dot (lit or dark)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>2 位/点 (4 级灰度)</source>
        <translation>2 bits a dot (4 grey levels)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>4 位/点 (16 级灰度)</source>
        <translation>4 bits a dot (16 grey levels)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>8 位/点 (256 级灰度)</source>
        <translation>8 bits a dot (256 grey levels)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>每点位数</source>
        <translation>Bits a dot</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>灰度字模: TrueType 字体抗锯齿, 图形按亮度分级; 点阵字体的亮点取最高级</source>
        <translation>Grey matrices: TrueType fonts anti-aliased, pictures in levels of brightness; a bitmap font&apos;s dots take the highest level</translation>
    </message>
</context>
<context>
    <name>tgw::CFontDialog</name>
    <message>
        <location filename="../font_dialog.cpp" line="+36"/>
        <location line="+111"/>
        <source>字号</source>
        <translation>Size</translation>
    </message>
    <message>
        <location line="-109"/>
        <source>粗体</source>
        <translation>Bold</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>斜体</source>
        <translation>Italic</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>下划线</source>
        <translation>Underline</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除线</source>
        <translation>Strike-out</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+109"/>
        <source>纵向偏移</source>
        <translation>Vertical offset</translation>
    </message>
    <message>
        <location line="-108"/>
        <source>ASCII 字符半宽</source>
        <translation>ASCII characters half width</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+108"/>
        <source>字体文件</source>
        <translation>Font file</translation>
    </message>
    <message>
        <location line="-107"/>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>适应单元</source>
        <translation>Fit the cell</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>字模字体</source>
        <translation>Matrix Font</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>系统字体 (TrueType)</source>
        <translation>System font (TrueType)</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>字体序号 </source>
        <translation>Face index </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>取上升与下降之和不超过点阵高度的最大字号, 字形不被截断</source>
        <translation>The largest size whose ascent plus descent fits the matrix height, so that no glyph is cut off</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>字体类型</source>
        <translation>Font type</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字体名称</source>
        <translation>Font name</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>×</source>
        <translation>×</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>点阵大小 (宽×高)</source>
        <translation>Matrix size (width × height)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>每点位数</source>
        <translation>Bits a dot</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>字形</source>
        <translation>Style</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>点阵宽度</source>
        <translation>Matrix width</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>点阵高度</source>
        <translation>Matrix height</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>字体序号</source>
        <translation>Face index</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字体文件说明</source>
        <translation>Font file description</translation>
    </message>
    <message>
        <location line="+82"/>
        <source>当前设置无法生成字模</source>
        <translation>These settings cannot draw a glyph</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>点阵太大，不显示预览</source>
        <translation>The matrix is too large to preview</translation>
    </message>
    <message numerus="yes">
        <location line="+44"/>
        <source>%n 个字符的笔画超出点阵，红色的点将被截去</source>
        <translation>
            <numerusform>%n character has ink outside its cell; the red dots will be cut off</numerusform>
            <numerusform>%n characters have ink outside their cells; the red dots will be cut off</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>笔画都在点阵之内</source>
        <translation>All ink lies inside the cell</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>选择字体文件</source>
        <translation>Choose a font file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>字体文件 (%1);;所有文件 (*)</source>
        <translation>Font files (%1);;All files (*)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>未选择字体文件</source>
        <translation>No font file chosen</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>轮廓字体</source>
        <translation>outline font</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>点阵字体</source>
        <translation>bitmap font</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>点阵尺寸 %1</source>
        <translation>strikes %1</translation>
    </message>
</context>
<context>
    <name>tgw::CHelpWindow</name>
    <message>
        <location filename="../help_window.cpp" line="+11"/>
        <source>使用说明</source>
        <translation>User Guide</translation>
    </message>
</context>
<context>
    <name>tgw::CIpv4Edit</name>
    <message>
        <location filename="../network_dialog.cpp" line="+31"/>
        <source>IP 地址第 %1 段</source>
        <translation>IP address, part %1</translation>
    </message>
</context>
<context>
    <name>tgw::CLibraryDialog</name>
    <message>
        <location filename="../library_dialog.cpp" line="+37"/>
        <source>未指定生成的字库中需要包含的字符内容！</source>
        <translation>No characters were given for the library to hold.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>输入内容中包含UNICODE字符，只能使用UNICODE编码进行排序。<byte value="xd"/>
<byte value="xd"/>
确认使用UNICODE排序？</source>
        <translation>The input holds UNICODE characters, which can only be sorted in UNICODE order.<byte value="xd"/>
<byte value="xd"/>
Sort in UNICODE order?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>因字模量多，所以本次操作可能耗时较长，是否继续？</source>
        <translation>There are many matrices, so this may take a long time. Continue?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件打开失败，请检查后重试！</source>
        <translation>The file could not be opened. Please check it and try again.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>内存分配失败，请检查后重试！</source>
        <translation>Out of memory. Please check and try again.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>生成字库</source>
        <translation>Build Font Library</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>字符集</source>
        <translation>Character set</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ASCII 字符</source>
        <translation>ASCII characters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>GB2312 字符（8178 个）</source>
        <translation>GB2312 characters (8178)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>字体“%1”包含的全部字符</source>
        <translation>All characters of the font &quot;%1&quot;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>当前字库包含的全部字符</source>
        <translation>All characters of the current font</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>自定义字符：</source>
        <translation>Custom characters:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>输入字库中需要包含的字符</source>
        <translation>Type the characters the library should hold</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>自定义字符</source>
        <translation>Custom characters</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>仅可打印 ASCII 字符（32～127）</source>
        <translation>Printable ASCII characters only (32–127)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>范围：</source>
        <translation>Range: </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>范围</source>
        <translation>Range</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>以逗号分隔的编码或“起-止”范围，十六进制加 0x，或十进制；按编码升序，不重复</source>
        <translation>Codes or &quot;from-to&quot; ranges separated by commas, hexadecimal with 0x or decimal; in ascending order, each once</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>另加的符号，如 °±µ</source>
        <translation>Extra symbols, e.g. °±µ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>另加的符号</source>
        <translation>Further symbols</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>排序（UNICODE 编码顺序）</source>
        <translation>Sort (UNICODE order)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>排序（MBCS 编码顺序）</source>
        <translation>Sort (MBCS order)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>去除重复字符</source>
        <translation>Remove duplicate characters</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>跳过空白字符</source>
        <translation>Skip blank characters</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>写入索引表</source>
        <translation>Write an index table</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>每点位数</source>
        <translation>Bits a dot</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>由字体与字号生成</source>
        <translation>made from face and size</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>C 代码：写成可被多个 C 文件包含的头文件，这是其数组名；字体格式：字体的符号名</source>
        <translation>C code: written as a header that every C file of a program may include, and this is its array&apos;s name; font formats: the font&apos;s symbol</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>名称(&amp;N)</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字距调整（字体的字偶距）</source>
        <translation>Kerning (the face&apos;s pair adjustments)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>压缩字形（LVGL 需设 LV_USE_FONT_COMPRESSED 为 1）</source>
        <translation>Compress glyphs (LVGL needs LV_USE_FONT_COMPRESSED set to 1)</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+1"/>
        <source>LVGL 版本</source>
        <translation>LVGL version</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>生成 (&amp;G)...</source>
        <translation>&amp;Generate...</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>停止 (&amp;S)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+5"/>
        <source>比例字体预览</source>
        <translation>Proportional preview</translation>
    </message>
    <message>
        <location line="+155"/>
        <source>字符范围有误：</source>
        <translation>The character range is wrong: </translation>
    </message>
    <message>
        <location line="+37"/>
        <source>“%1”不能用作名称：须以字母或 _ 开头，只含字母、数字与 _，且不是 C 关键字</source>
        <translation>&apos;%1&apos; cannot be a name: it must begin with a letter or _, hold only letters, digits and _, and not be a C keyword</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>保存至...</source>
        <translation>Save To...</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>正在停止...</source>
        <translation>Stopping...</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>已生成 %1 / %2 个字模</source>
        <translation>%1 of %2 matrices built</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>已停止，未写入文件</source>
        <translation>Stopped; no file was written</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>字库生成失败，请检查后重试！

</source>
        <translation>The library could not be built. Please check and try again.

</translation>
    </message>
</context>
<context>
    <name>tgw::CMainFrame</name>
    <message>
        <location filename="../main_frame.cpp" line="+66"/>
        <source>传输的数据是否需要包含字模索引表？

索引表包含如下内容 [数值均为BigEndian]：
①、字库内包含的字模数量；
②、各字模的编码、宽度、高度以及偏移量值。
</source>
        <translation>Should the data sent include an index table of the matrices?

The index table holds [all values big-endian]:
1. the number of matrices in the library;
2. the code, width, height and offset of each matrix.
</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>所有支持的图形文件 (%1)</source>
        <translation>All supported pictures (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>位图文件 (%1)</source>
        <translation>Bitmap files (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>JPEG文件 (%1)</source>
        <translation>JPEG files (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>图标文件 (%1)</source>
        <translation>Icon files (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>程序文件 (%1)</source>
        <translation>Program files (%1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>其它图形文件 (%1)</source>
        <translation>Other pictures (%1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>项目文件 (*.tgx);;所有文件 (*.*)</source>
        <translation>Project files (*.tgx);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>因字模量多，所以本次操作可能耗时较长，是否继续？</source>
        <translation>There are many matrices, so this may take a long time. Continue?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出的字库文件头部是否需要写入索引表？<byte value="xd"/>
<byte value="xd"/>
索引表包含如下内容 [BigEndian]：<byte value="xd"/>
①、字库内包含的字模数量；<byte value="xd"/>
②、各字模的编码、宽度、高度以及偏移量值。<byte value="xd"/>
</source>
        <translation>Should an index table be written at the head of the exported library file?<byte value="xd"/>
<byte value="xd"/>
The index table holds [big-endian]:<byte value="xd"/>
1. the number of matrices in the library;<byte value="xd"/>
2. the code, width, height and offset of each matrix.<byte value="xd"/>
</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>蓝色 (&amp;B)</source>
        <translation>&amp;Blue</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>绿色 (&amp;G)</source>
        <translation>&amp;Green</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>红色 (&amp;R)</source>
        <translation>&amp;Red</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>青色 (&amp;C)</source>
        <translation>&amp;Cyan</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>紫色 (&amp;P)</source>
        <translation>&amp;Purple</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>黄色 (&amp;Y)</source>
        <translation>&amp;Yellow</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>白色 (&amp;W)</source>
        <translation>&amp;White</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无标题 - Tessaglyphworks</source>
        <translation>Untitled - Tessaglyphworks</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+16"/>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>指针下的点：字模序号、行、列，以及按当前取点方式与字节排列它所在的字节 (从 0 起) 与位 (7 为最高位)</source>
        <translation>The dot under the pointer: entry, row, column, and the byte (from 0) and bit (7 the highest) it lands in under the current dot and byte orders</translation>
    </message>
    <message>
        <location filename="../main_commands.cpp" line="+29"/>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>新建项目 (&amp;N)</source>
        <translation>&amp;New Project</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>建立新的字模项目</source>
        <translation>Start a new matrix project</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>打开项目 (&amp;O)...</source>
        <translation>&amp;Open Project...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>打开已保存的字模项目</source>
        <translation>Open a saved matrix project</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>保存项目 (&amp;S)</source>
        <translation>&amp;Save Project</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>保存当前字模项目</source>
        <translation>Save the current matrix project</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>项目另存为 (&amp;A)...</source>
        <translation>Save Project &amp;As...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>以新的名称保存当前字模项目</source>
        <translation>Save the current matrix project under a new name</translation>
    </message>
    <message>
        <location filename="../main_frame.cpp" line="+128"/>
        <source>最近的项目 (&amp;R)</source>
        <translation>&amp;Recent Projects</translation>
    </message>
    <message>
        <location filename="../main_commands.cpp" line="+6"/>
        <source>生成字库 (&amp;E)...</source>
        <translation>Build Font Librar&amp;y...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>生成整套字符的点阵字库</source>
        <translation>Build a dot-matrix library of a whole character set</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>退出 (&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>退出程序</source>
        <translation>Quit the program</translation>
    </message>
    <message>
        <location line="-81"/>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <location line="+89"/>
        <location filename="../main_frame.cpp" line="+729"/>
        <source>撤销 (&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>撤销上一步操作</source>
        <translation>Undo the last change</translation>
    </message>
    <message>
        <location line="+6"/>
        <location filename="../main_frame.cpp" line="+1"/>
        <source>重做 (&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重做上一步撤销的操作</source>
        <translation>Redo the last undone change</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>添加单写字符 (&amp;C)...</source>
        <translation>Add Single &amp;Characters...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加待取模的单写字符</source>
        <translation>Add characters to convert, one matrix each</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>添加连写文字 (&amp;S)...</source>
        <translation>Add Text &amp;String...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加待取模的连写文字</source>
        <translation>Add a text to convert into one matrix</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>添加图片 (&amp;I)...</source>
        <translation>Add P&amp;icture...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加待取模的图片</source>
        <translation>Add a picture to convert</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>删除选中 (&amp;D)</source>
        <translation>&amp;Delete Selected</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除选中的字模</source>
        <translation>Delete the selected matrices</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>删除所有 (&amp;A)</source>
        <translation>Delete &amp;All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>清除所有已取字模</source>
        <translation>Delete all matrices</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>导出代码 (&amp;T)...</source>
        <translation>Expor&amp;t Code...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>为正在编辑的字模导出C或ASM点阵代码</source>
        <translation>Export the matrices being edited as C or ASM code</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>预览代码 (&amp;P)...</source>
        <translation>&amp;Preview Code...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>在程序内查看、复制或另存导出的代码</source>
        <translation>View, copy or save the exported code inside the program</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>导出字库 (&amp;B)...</source>
        <translation>Export &amp;Binary Library...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>将正在编辑的字模导出为二进制点阵字库</source>
        <translation>Export the matrices being edited as a binary library</translation>
    </message>
    <message>
        <location line="-158"/>
        <source>修改(&amp;M)</source>
        <translation>&amp;Modify</translation>
    </message>
    <message>
        <location line="+167"/>
        <source>全选 (&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中所有字模</source>
        <translation>Select all matrices</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>清除选择 (&amp;U)</source>
        <translation>&amp;Unselect All</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>清除所有字模的选中状态</source>
        <translation>Deselect all matrices</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>反向选择 (&amp;B)</source>
        <translation>Invert &amp;Selection</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>反转所有字模的选中状态</source>
        <translation>Invert the selection of all matrices</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>反色 (&amp;C)</source>
        <translation>Invert &amp;Dots</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>反转选中字模的所有点</source>
        <translation>Invert every dot of the selected matrices</translation>
    </message>
    <message>
        <location line="-186"/>
        <source>移动</source>
        <translation>Move</translation>
    </message>
    <message>
        <location line="+189"/>
        <source>上移 (&amp;U)</source>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模的点阵上移一行</source>
        <translation>Move the selected matrices up by one row</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>下移 (&amp;D)</source>
        <translation>&amp;Down</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模的点阵下移一行</source>
        <translation>Move the selected matrices down by one row</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>左移 (&amp;L)</source>
        <translation>&amp;Left</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模的点阵左移一列</source>
        <translation>Move the selected matrices left by one column</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>右移 (&amp;R)</source>
        <translation>&amp;Right</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模的点阵右移一列</source>
        <translation>Move the selected matrices right by one column</translation>
    </message>
    <message>
        <location line="-201"/>
        <source>翻转</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <location line="+204"/>
        <source>水平翻转 (&amp;H)</source>
        <translation>&amp;Horizontal</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模左右翻转</source>
        <translation>Mirror the selected matrices left to right</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>垂直翻转 (&amp;V)</source>
        <translation>&amp;Vertical</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模上下翻转</source>
        <translation>Mirror the selected matrices top to bottom</translation>
    </message>
    <message>
        <location line="-208"/>
        <source>旋转</source>
        <translation>Rotate</translation>
    </message>
    <message>
        <location line="+211"/>
        <source>旋转 &amp;90°</source>
        <translation>Rotate &amp;90°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模顺时针旋转90度</source>
        <translation>Rotate the selected matrices 90° clockwise</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>旋转 &amp;180°</source>
        <translation>Rotate &amp;180°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模旋转180度</source>
        <translation>Rotate the selected matrices 180°</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>旋转 &amp;270°</source>
        <translation>Rotate &amp;270°</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>选中字模顺时针旋转270度</source>
        <translation>Rotate the selected matrices 270° clockwise</translation>
    </message>
    <message>
        <location line="-218"/>
        <source>修剪</source>
        <translation>Trim</translation>
    </message>
    <message>
        <location line="+221"/>
        <source>修剪左边空白列 (&amp;L)</source>
        <translation>Trim Blank &amp;Left Columns</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除选中字模左边的空白列</source>
        <translation>Remove the blank columns on the left of the selected matrices</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>修剪右边空白列 (&amp;R)</source>
        <translation>Trim Blank &amp;Right Columns</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除选中字模右边的空白列</source>
        <translation>Remove the blank columns on the right of the selected matrices</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>修剪上边空白行 (&amp;T)</source>
        <translation>Trim Blank &amp;Top Rows</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除选中字模上边的空白行</source>
        <translation>Remove the blank rows at the top of the selected matrices</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>修剪下边空白行 (&amp;B)</source>
        <translation>Trim Blank &amp;Bottom Rows</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除选中字模下边的空白行</source>
        <translation>Remove the blank rows at the bottom of the selected matrices</translation>
    </message>
    <message>
        <location line="-238"/>
        <source>设置(&amp;C)</source>
        <translation>Setti&amp;ngs</translation>
    </message>
    <message>
        <location line="+248"/>
        <source>字模字体 (&amp;F)...</source>
        <translation>Matrix &amp;Font...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设置取模所用的字体与点阵大小</source>
        <translation>Set the font and the matrix size used for conversion</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>图形取点设定 (&amp;I)...</source>
        <translation>P&amp;icture Threshold...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设置图形取点的亮度阀值</source>
        <translation>Set the brightness threshold for pictures</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>代码格式 (&amp;C)...</source>
        <translation>&amp;Code Format...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设置导出代码的格式</source>
        <translation>Set the format of the exported code</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>过滤重复 (&amp;R)</source>
        <translation>Filter &amp;Duplicates</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加时过滤重复的字符</source>
        <translation>Skip characters already present when adding</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>过滤空白 (&amp;S)</source>
        <translation>Filter &amp;Blanks</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>添加时过滤空白字符</source>
        <translation>Skip blank characters when adding</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>鼠标编辑 (&amp;E)</source>
        <translation>Mouse &amp;Editing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>用鼠标左键画点、右键擦点</source>
        <translation>Draw dots with the left mouse button, erase with the right</translation>
    </message>
    <message>
        <location line="-290"/>
        <source>视图(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <location filename="../main_frame.cpp" line="-778"/>
        <source>工具栏</source>
        <translation>Tool Bar</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>信息栏</source>
        <translation>Information Bar</translation>
    </message>
    <message>
        <location filename="../main_commands.cpp" line="+301"/>
        <source>工具栏 (&amp;T)</source>
        <translation>&amp;Tool Bar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示或隐藏工具栏</source>
        <translation>Show or hide the tool bar</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>状态栏 (&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示或隐藏状态栏</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>信息栏 (&amp;I)</source>
        <translation>&amp;Information Bar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示或隐藏信息栏</source>
        <translation>Show or hide the information bar</translation>
    </message>
    <message>
        <location filename="../main_frame.cpp" line="+50"/>
        <source>单元大小</source>
        <translation>Cell Size</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>&amp;%n 像素</source>
        <translation>
            <numerusform>&amp;%n pixel</numerusform>
            <numerusform>&amp;%n pixels</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n 像素</source>
        <translation>
            <numerusform>%n pixel</numerusform>
            <numerusform>%n pixels</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>每个点阵单元显示为 %n 像素</source>
        <translation>
            <numerusform>Show each matrix cell as %n pixel</numerusform>
            <numerusform>Show each matrix cell as %n pixels</numerusform>
        </translation>
    </message>
    <message>
        <location line="+123"/>
        <source>Tessaglyphworks %1

点阵字模的生成、编辑、导出与传输。

项目文件格式版本 %2 (program_version)</source>
        <translation>Tessaglyphworks %1

Makes, edits, exports and sends dot-matrix glyphs.

Project file format version %2 (program_version)</translation>
    </message>
    <message numerus="yes">
        <location line="+28"/>
        <source>%n 个字符已存在，未添加</source>
        <translation>
            <numerusform>%n character already exists, not added</numerusform>
            <numerusform>%n characters already exist, not added</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+9"/>
        <source>GB2312 点阵字库不含 ASCII 字符，%n 个字模为空白；请选用 ASCII 点阵字库或系统字体</source>
        <translation>
            <numerusform>The GB2312 dot fonts hold no ASCII characters: %n matrix is blank; choose an ASCII dot font or a system font</numerusform>
            <numerusform>The GB2312 dot fonts hold no ASCII characters: %n matrices are blank; choose an ASCII dot font or a system font</numerusform>
        </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <location line="+12"/>
        <source>字形超出字模的点已被截去 (字模带红边)：在“字模字体”中选“适应单元”或设纵向偏移可保留全部的点</source>
        <translation>Dots of glyphs that reach beyond the matrix were cut off (red edge): choose &quot;Fit the cell&quot; or a vertical offset in Matrix Font to keep them all</translation>
    </message>
    <message>
        <location line="-182"/>
        <source>1&amp;0 像素</source>
        <translation>1&amp;0 pixels</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>字模色调</source>
        <translation>Matrix Colour</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设置字模点阵的显示颜色</source>
        <translation>Set the colour the matrices are shown in</translation>
    </message>
    <message>
        <location filename="../main_commands.cpp" line="-316"/>
        <source>传输(&amp;T)</source>
        <translation>&amp;Transfer</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>串口传输</source>
        <translation>Serial Port</translation>
    </message>
    <message>
        <location line="+320"/>
        <location line="+18"/>
        <source>选中字模 (&amp;S)...</source>
        <translation>&amp;Selected Matrices...</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>通过串口发送选中字模的点阵数据</source>
        <translation>Send the data of the selected matrices over a serial port</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+17"/>
        <source>所有字模 (&amp;A)...</source>
        <translation>&amp;All Matrices...</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>通过串口发送所有字模的点阵数据</source>
        <translation>Send the data of all matrices over a serial port</translation>
    </message>
    <message>
        <location line="-329"/>
        <source>网络传输</source>
        <translation>Network</translation>
    </message>
    <message>
        <location line="+338"/>
        <source>通过网络发送选中字模的点阵数据</source>
        <translation>Send the data of the selected matrices over the network</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>通过网络发送所有字模的点阵数据</source>
        <translation>Send the data of all matrices over the network</translation>
    </message>
    <message>
        <location line="-352"/>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <location line="+360"/>
        <source>软件说明 (&amp;R)...</source>
        <translation>&amp;User Guide...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示程序的使用说明</source>
        <translation>Show the user guide of the program</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>关于 Tessaglyphworks (&amp;A)...</source>
        <translation>&amp;About Tessaglyphworks...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>显示程序信息与版本</source>
        <translation>Show the program information and version</translation>
    </message>
    <message>
        <location filename="../main_frame.cpp" line="+64"/>
        <source> 灰度级 </source>
        <translation> Level </translation>
    </message>
    <message>
        <location line="+5"/>
        <source>画点灰度级</source>
        <translation>Drawing level</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>鼠标左键在灰度字模上画出的灰度级 (右键清除)</source>
        <translation>The level the left button draws on grey matrices (the right button clears)</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>关于 Tessaglyphworks</source>
        <translation>About Tessaglyphworks</translation>
    </message>
    <message>
        <location line="+71"/>
        <source>重复过滤功能已开启，不能重复添加同一字串！</source>
        <translation>Duplicate filtering is on: the same string cannot be added twice.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>指定图形文件...</source>
        <translation>Choose a Picture File...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>重复过滤功能已开启，不能重复添加同一图片！</source>
        <translation>Duplicate filtering is on: the same picture cannot be added twice.</translation>
    </message>
    <message>
        <location line="+145"/>
        <location line="+19"/>
        <location line="+50"/>
        <source>文件打开失败，请检查！

</source>
        <translation>The file could not be opened. Please check it.

</translation>
    </message>
    <message>
        <location line="-58"/>
        <source>无法启动代码查看程序“%1”，已在程序内显示代码。</source>
        <translation>Cannot start the code viewer &quot;%1&quot;; the code is shown in the program instead.</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>保存至...</source>
        <translation>Save To...</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>打开项目</source>
        <translation>Open Project</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>打开失败，请检查文件是否损坏或由更高版本软件创建！</source>
        <translation>The project could not be opened. Please check whether the file is damaged or was made by a newer version.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>项目另存为</source>
        <translation>Save Project As</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>保存项目文件失败，请检查后重试!</source>
        <translation>The project file could not be saved. Please check and try again.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>第 %1 项的文件名不是有效的 UTF-8 编码，项目文件只能以 U+FFFD 代替其中无法保存的字节。</source>
        <translation>The file name of entry %1 (a picture or a font file) is not valid UTF-8; the project file stores it with U+FFFD in place of the bytes it cannot hold.</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+132"/>
        <source>无标题</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <location line="-131"/>
        <source>是否保存对“%1”的修改？</source>
        <translation>Save the changes to &quot;%1&quot;?</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>(无)</source>
        <translation>(none)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>清除列表 (&amp;C)</source>
        <translation>&amp;Clear List</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>“%1”已不存在，已从最近的项目中去掉</source>
        <translation>&quot;%1&quot; is no longer there and was taken off the recent projects</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>第 %1 项 %2</source>
        <translation>Entry %1 %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1  %2x%3 点</source>
        <translation>%1  %2x%3 dots</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1  行 %2 列 %3</source>
        <translation>%1  row %2 column %3</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1  字节 %2 位 %3</source>
        <translation>%1  byte %2 bit %3</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>不能打开的文件：%1</source>
        <translation>Files that cannot be opened: %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <location line="+101"/>
        <source>撤销 %1 (&amp;U)</source>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重做 %1 (&amp;R)</source>
        <translation>&amp;Redo %1</translation>
    </message>
</context>
<context>
    <name>tgw::CNetworkDialog</name>
    <message>
        <location filename="../network_dialog.cpp" line="+80"/>
        <source>网络设置</source>
        <translation>Network settings</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>单应答包</source>
        <translation>Single reply packet</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>目标IP地址：</source>
        <translation>Target IP address:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>端口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>接收超时[MS]：</source>
        <translation>Reply time-out [ms]:</translation>
    </message>
</context>
<context>
    <name>tgw::CQxView</name>
    <message>
        <location filename="../../view/qx_view.cpp" line="+117"/>
        <source>字模</source>
        <translation>Matrices</translation>
    </message>
    <message>
        <location line="+325"/>
        <source>还没有字模。

按 Insert 添加单写字符，Shift+Insert 添加连写文字，Ctrl+Insert 添加图片；
在“设置 &gt; 字模字体”(Ctrl+F) 中选择字体与点阵大小。

方向键移动光标，空格键选中字模。</source>
        <translation>No matrices yet.

Press Insert to add single characters, Shift+Insert to add a text string, Ctrl+Insert to add a picture;
choose the font and matrix size in Settings &gt; Matrix Font (Ctrl+F).

The arrow keys move the cursor, Space selects a matrix.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>上边</source>
        <translation>top</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>下边</source>
        <translation>bottom</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>左边</source>
        <translation>left</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>右边</source>
        <translation>right</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>字形超出字模，%1的点被截去</source>
        <translation>The glyph does not fit the matrix: dots lost at the %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>、</source>
        <translation> and </translation>
    </message>
</context>
<context>
    <name>tgw::CSerialDialog</name>
    <message>
        <location filename="../serial_dialog.cpp" line="+28"/>
        <source>通过串口发送字模点阵数据</source>
        <translation>Send Matrix Data over a Serial Port</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>串口设置</source>
        <translation>Serial port settings</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>自适应接收超时</source>
        <translation>Adaptive reply time-out</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>串口：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>接收超时[MS]：</source>
        <translation>Reply time-out [ms]:</translation>
    </message>
</context>
<context>
    <name>tgw::CThresholdDialog</name>
    <message>
        <location filename="../add_string_dialog.cpp" line="+23"/>
        <source>反色 (暗像素取为亮点)</source>
        <translation>Invert (dark pixels become lit dots)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>图形取点设定</source>
        <translation>Picture Threshold</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+1"/>
        <source>亮度阀值</source>
        <translation>Brightness threshold</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>阀值</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Floyd–Steinberg 抖动</source>
        <translation>Floyd–Steinberg dithering</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Atkinson 抖动</source>
        <translation>Atkinson dithering</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Bayer 4×4 有序抖动</source>
        <translation>Bayer 4×4 ordered dithering</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>保持原尺寸</source>
        <translation>Keep the size</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>缩放到 %1x%2 以内 (保持比例)</source>
        <translation>Fit inside %1x%2 (keep the aspect ratio)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>拉伸到 %1x%2</source>
        <translation>Stretch to %1x%2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>取点方法</source>
        <translation>Method</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>尺寸</source>
        <translation>Size</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>每点位数</source>
        <translation>Bits a dot</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>亮度阀值 (0–255)：亮度不低于阀值的像素取为亮点</source>
        <translation>Brightness threshold (0–255): pixels at least this bright become lit dots</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>没有可预览的图形</source>
        <translation>No picture to preview</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>%1x%2 点</source>
        <translation>%1x%2 dots</translation>
    </message>
</context>
<context>
    <name>tgw::CTransferDialogBase</name>
    <message>
        <location filename="../transfer_dialog_base.cpp" line="+39"/>
        <source>包头1</source>
        <translation>Header 1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>包头2</source>
        <translation>Header 2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>包尾</source>
        <translation>Tail</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据前缀</source>
        <translation>Data prefix</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据后缀</source>
        <translation>Data suffix</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>末包数据</source>
        <translation>Last packet data</translation>
    </message>
    <message>
        <location line="+79"/>
        <source>发送(&amp;S)</source>
        <translation>&amp;Send</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止(&amp;P)</source>
        <translation>Sto&amp;p</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>接收回应数据</source>
        <translation>Receive replies</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>数据包格式</source>
        <translation>Packet format</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>：</source>
        <translation>:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校验方式：</source>
        <translation>Checksum:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校验范围：</source>
        <translation>Checksum range:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>末包处理：</source>
        <translation>Last packet:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>最大数据长度[超过时拆分数据]：</source>
        <translation>Maximum data length [longer data is split]:</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>接收记录：</source>
        <translation>Reply log:</translation>
    </message>
</context>
<context>
    <name>tgw::DialogKeys</name>
    <message>
        <location filename="../dialog_keys.cpp" line="+62"/>
        <source>确定 (&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>tgw::Messages</name>
    <message numerus="yes">
        <location filename="../messages.cpp" line="+99"/>
        <source>已写入 %n 个字模，%1 字节：%2</source>
        <translation>
            <numerusform>wrote %n glyph, %1 bytes to %2</numerusform>
            <numerusform>wrote %n glyphs, %1 bytes to %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tgw::core::describe</name>
    <message>
        <location filename="../../model/describe.cpp" line="+10"/>
        <source><byte value="xd"/>
选中当前字模 [双击左键]<byte value="xd"/>
加选当前字模 [CTRL  键]+[双击] <byte value="xd"/>
清除选中状态 [SHIFT 键]+[双击]</source>
        <translation><byte value="xd"/>
Select this matrix [double-click]<byte value="xd"/>
Add it to the selection [CTRL]+[double-click]<byte value="xd"/>
Clear the selection [SHIFT]+[double-click]</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>[上移 %d]</source>
        <translation>[up %d]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>[下移 %d]</source>
        <translation>[down %d]</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>统计 [点数=%ld 亮点=%ld≈%.2f%% 暗点=%ld≈%.2f%%]</source>
        <translation>Statistics [dots=%ld lit=%ld≈%.2f%% dark=%ld≈%.2f%%]</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>[灰度 %d 位/点]</source>
        <translation>[grey, %d bits a dot]</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>【设置状态】   〖字模数量：%zu [%zu/%zu]〗〖字体：%s[%d]%s%s%s%s〗〖大小：%ux%u〗〖纵向偏移：%ld〗〖ASCII半宽：%s〗〖%s 模式%d〗〖字符集：%s〗</source>
        <translation>[Settings]   [Matrices: %zu [%zu/%zu]] [Font: %s[%d]%s%s%s%s] [Size: %ux%u] [Vertical offset: %ld] [ASCII half width: %s] [%s, byte order %d] [Character set: %s]</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+23"/>
        <source> 加粗</source>
        <translation> bold</translation>
    </message>
    <message>
        <location line="-22"/>
        <location line="+23"/>
        <source> 斜体</source>
        <translation> italic</translation>
    </message>
    <message>
        <location line="-22"/>
        <location line="+23"/>
        <source> 删除线</source>
        <translation> strike-out</translation>
    </message>
    <message>
        <location line="-22"/>
        <location line="+23"/>
        <source> 下划线</source>
        <translation> underline</translation>
    </message>
    <message>
        <location line="-21"/>
        <source>开</source>
        <translation>on</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关</source>
        <translation>off</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>〖灰度：%d 位/点〗</source>
        <translation> [Grey: %d bits a dot]</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>图形 [阀值:%d][%dx%d]<byte value="xd"/>
文件 [%s]<byte value="xd"/>
%s<byte value="xd"/>
%s</source>
        <translation>Picture [threshold:%d][%dx%d]<byte value="xd"/>
File [%s]<byte value="xd"/>
%s<byte value="xd"/>
%s</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>内容 [%d行][行高=%d]</source>
        <translation>Content [%d lines][line height=%d]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>内容 [%d行][字宽=%d 行高=%d]</source>
        <translation>Content [%d lines][character width=%d line height=%d]</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>字串 [%s%s%s][%dx%d]%s<byte value="xd"/>
%s<byte value="xd"/>
%s<byte value="xd"/>
%s<byte value="xd"/>
%s</source>
        <translation>String [%s%s%s][%dx%d]%s<byte value="xd"/>
%s<byte value="xd"/>
%s<byte value="xd"/>
%s<byte value="xd"/>
%s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source> 从右向左阅读 </source>
        <translation> right-to-left </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>字符 [%s][%s][%s%s][%dx%d]%s<byte value="xd"/>
%s<byte value="xd"/>
%s</source>
        <translation>Character [%s][%s][%s%s][%dx%d]%s<byte value="xd"/>
%s<byte value="xd"/>
%s</translation>
    </message>
</context>
<context>
    <name>tgw::core::settings</name>
    <message>
        <location filename="../../model/font_settings.cpp" line="+10"/>
        <source>ASCII 5x7点阵字库</source>
        <translation>ASCII 5x7 dot font</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ASCII 5x8点阵字库</source>
        <translation>ASCII 5x8 dot font</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ASCII 6x12点阵字库</source>
        <translation>ASCII 6x12 dot font</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ASCII 8x16点阵字库</source>
        <translation>ASCII 8x16 dot font</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>GB2312 12x12点阵字库</source>
        <translation>GB2312 12x12 dot font</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>GB2312 16x16点阵字库</source>
        <translation>GB2312 16x16 dot font</translation>
    </message>
    <message>
        <location filename="../../model/settings.cpp" line="+68"/>
        <source>横向取点左高位</source>
        <translation>Horizontal, leftmost dot high</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>横向取点右高位</source>
        <translation>Horizontal, rightmost dot high</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>纵向取点上高位</source>
        <translation>Vertical, top dot high</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>纵向取点下高位</source>
        <translation>Vertical, bottom dot high</translation>
    </message>
</context>
<context>
    <name>tgw::core::transfer</name>
    <message>
        <location filename="../../transfer/network_transfer.cpp" line="+20"/>
        <source>连接 %d.%d.%d.%d:%d 失败，请检查！</source>
        <translation>Could not connect to %d.%d.%d.%d:%d. Please check.</translation>
    </message>
    <message>
        <location filename="../../transfer/network_transfer.h" line="+12"/>
        <source>通过网络发送字模点阵数据</source>
        <translation>Send Matrix Data over the Network</translation>
    </message>
    <message>
        <location filename="../../transfer/packet_framing.h" line="+24"/>
        <source>自定义/无校验码</source>
        <translation>Custom / no checksum</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>逐字节异或</source>
        <translation>XOR of the bytes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>逐字节相加[溢出]</source>
        <translation>Sum of the bytes [overflowing]</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>从包头1开始计算</source>
        <translation>From header 1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>从包头2开始计算</source>
        <translation>From header 2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>从数据部分开始计算</source>
        <translation>From the data</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>包头包尾均与首包相同</source>
        <translation>Headers and tail as in the first packet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>包头1数据与首包不相同</source>
        <translation>Header 1 differs from the first packet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>包头2数据与首包不相同</source>
        <translation>Header 2 differs from the first packet</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>包尾数据与首包不相同</source>
        <translation>Tail differs from the first packet</translation>
    </message>
    <message>
        <location filename="../../transfer/packet_transfer.cpp" line="+80"/>
        <source>点阵数据共%zu字节</source>
        <translation>Matrix data: %zu bytes</translation>
    </message>
    <message>
        <location filename="../../transfer/packet_transfer.h" line="+18"/>
        <source>数据发送成功！</source>
        <translation>The data was sent.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据发送失败，请检查网络连接！</source>
        <translation>The data could not be sent. Please check the connection.</translation>
    </message>
    <message>
        <location filename="../../transfer/serial_port.h" line="+20"/>
        <source>未找到可用的串口，无法进行传输！</source>
        <translation>No serial port was found; nothing can be sent.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>串口打开失败，请检查后再重试！</source>
        <translation>The serial port could not be opened. Please check it and try again.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>串口已被其他程序占用，请关闭占用该串口的程序（如串口终端）后再重试！</source>
        <translation>The serial port is in use by another program. Close the program holding it (a serial terminal, for example) and try again!</translation>
    </message>
    <message>
        <location filename="../../transfer/transfer_log.h" line="+15"/>
        <source>接收应答数据失败 / 应答超时。</source>
        <translation>No reply received / reply timed out.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>（应答超过 %zu 字节，其余未记录）</source>
        <translation> (replies over %zu bytes; the rest is not logged)</translation>
    </message>
</context>
<context>
    <name>tgw::core::writers</name>
    <message>
        <location filename="../../codegen/bdf_font_writer.cpp" line="+199"/>
        <source>BDF 点阵字体</source>
        <translation>BDF bitmap font</translation>
    </message>
    <message>
        <location filename="../../codegen/lvgl_font_writer.cpp" line="+954"/>
        <source>LVGL 字体（C）</source>
        <translation>LVGL font (C)</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>LVGL 二进制字体</source>
        <translation>LVGL binary font</translation>
    </message>
    <message>
        <location filename="../../codegen/gfx_font_writer.cpp" line="+211"/>
        <source>GFX 字体头文件（比例字体）</source>
        <translation>GFX font header (proportional)</translation>
    </message>
    <message>
        <location filename="../../codegen/metrics_table_writer.cpp" line="+184"/>
        <source>裁剪字模与度量表（C 代码）</source>
        <translation>Cropped glyphs with metrics table (C code)</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>裁剪字模与度量表（二进制）</source>
        <translation>Cropped glyphs with metrics table (binary)</translation>
    </message>
    <message>
        <location filename="../../codegen/output_writers.cpp" line="+18"/>
        <source>C 代码</source>
        <translation>C code</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>C 源文件 (*.c);;所有文件 (*.*)</source>
        <translation>C source files (*.c);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>ASM 代码</source>
        <translation>ASM code</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>ASM 源文件 (*.asm);;所有文件 (*.*)</source>
        <translation>ASM source files (*.asm);;All files (*.*)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>二进制字库</source>
        <translation>Binary library</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>二进制文件 (*.BIN *.bin);;所有文件 (*.*)</source>
        <translation>Binary files (*.BIN *.bin);;All files (*.*)</translation>
    </message>
    <message>
        <location filename="../../codegen/u8g2_font_writer.cpp" line="+460"/>
        <source>u8g2 字体（C 数组）</source>
        <translation>u8g2 font (C array)</translation>
    </message>
</context>
<context>
    <name>tgw::language</name>
    <message>
        <location filename="../language.cpp" line="+142"/>
        <source>语言 (&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>跟随系统 (&amp;S)</source>
        <translation>&amp;System</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>选择界面语言，重新启动后生效</source>
        <translation>Choose the interface language; it takes effect at the next start</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Tessaglyphworks 提示</source>
        <translation>Tessaglyphworks Notice</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>界面语言已更改，重新启动程序后生效。</source>
        <translation>The interface language has been changed. It takes effect when the program is restarted.</translation>
    </message>
</context>
<context>
    <name>tgw::messages</name>
    <message>
        <location filename="../messages.cpp" line="-67"/>
        <source>Tessaglyphworks 提示</source>
        <translation>Tessaglyphworks Notice</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Tessaglyphworks 确认</source>
        <translation>Tessaglyphworks Confirm</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>%1 (*.%2);;所有文件 (*.*)</source>
        <translation>%1 (*.%2);;All files (*.*)</translation>
    </message>
</context>
</TS>
