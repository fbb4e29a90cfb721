<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>prismel::BarStops</name>
    <message>
        <source>更改颜色(&amp;C)…</source>
        <translation>&amp;Change colour…</translation>
    </message>
    <message>
        <source>删除色标(&amp;D)</source>
        <translation>&amp;Delete stop</translation>
    </message>
</context>
<context>
    <name>prismel::BrowserPane</name>
    <message>
        <source>论坛</source>
        <translation>Forum</translation>
    </message>
</context>
<context>
    <name>prismel::CodeMenu</name>
    <message>
        <source>合并同色标签(&amp;M)</source>
        <translation>&amp;Merge same-colour tags</translation>
    </message>
    <message>
        <source>复制为富文本(&amp;H)</source>
        <translation>Copy as ric&amp;h text</translation>
    </message>
    <message>
        <source>按长度适配(&amp;L)…</source>
        <translation>Fit to &amp;length…</translation>
    </message>
    <message>
        <source>代码长度：%1 字符，%2 字节</source>
        <translation>Code length: %1 characters, %2 bytes</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>复制到剪贴板成功</source>
        <translation>Copied to the clipboard.</translation>
    </message>
    <message>
        <source>按长度适配</source>
        <translation>Fit to length</translation>
    </message>
    <message>
        <source>代码长度上限（字符）：</source>
        <translation>Longest code (characters):</translation>
    </message>
    <message>
        <source>没有能适配 %1 字符的步长；最短的代码为 %2 字符（步长 %3）。</source>
        <translation>No step fits %1 characters; the shortest code is %2 characters (step %3).</translation>
    </message>
    <message>
        <source>粗体(&amp;B)</source>
        <translation>&amp;Bold</translation>
    </message>
    <message>
        <source>斜体(&amp;I)</source>
        <translation>&amp;Italic</translation>
    </message>
    <message>
        <source>下划线(&amp;N)</source>
        <translation>U&amp;nderline</translation>
    </message>
    <message>
        <source>删除线(&amp;K)</source>
        <translation>Stri&amp;kethrough</translation>
    </message>
    <message>
        <source>转换</source>
        <translation>Convert</translation>
    </message>
</context>
<context>
    <name>prismel::ConvertRunner</name>
    <message>
        <source>正在转换…</source>
        <translation>Converting…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>prismel::Form1</name>
    <message>
        <source>交流论坛</source>
        <translation>Discussion forum</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>关于(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>从剪贴板粘贴(&amp;V)</source>
        <translation>&amp;Paste text</translation>
    </message>
    <message>
        <source>复制到剪贴板(&amp;C)</source>
        <translation>Cop&amp;y code</translation>
    </message>
    <message>
        <source>转换(&amp;T)</source>
        <translation>&amp;Convert</translation>
    </message>
    <message>
        <source>UBB(论坛)</source>
        <translation>UBB (forum)</translation>
    </message>
    <message>
        <source>结束颜色(&amp;E)</source>
        <translation>&amp;End colour</translation>
    </message>
    <message>
        <source>起始颜色(&amp;B)</source>
        <translation>&amp;Start colour</translation>
    </message>
    <message>
        <source>输入待转换文本</source>
        <translation>Text to convert</translation>
    </message>
    <message>
        <source>效果预览(不显示回车)</source>
        <translation>Preview (line breaks not shown)</translation>
    </message>
    <message>
        <source>字体距度</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>代码:</source>
        <translation>Code:</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>格式:</source>
        <translation>Tags:</translation>
    </message>
    <message>
        <source>渐色预览:</source>
        <translation>Gradient:</translation>
    </message>
    <message>
        <source>Html(网页)</source>
        <translation>HTML (web)</translation>
    </message>
    <message>
        <source>QQ空间</source>
        <translation>QQ Zone</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>复制到剪贴板成功</source>
        <translation>Copied to the clipboard.</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>无法打开“%1”：%2</source>
        <translation>Cannot open “%1”: %2</translation>
    </message>
    <message>
        <source>有它让你的生活更方便！</source>
        <translation>makes your life easier!</translation>
    </message>
    <message>
        <source>BBCode(论坛)</source>
        <translation>BBCode (forum)</translation>
    </message>
    <message>
        <source>HTML &lt;span&gt;(网页)</source>
        <translation>HTML &lt;span&gt; (web page)</translation>
    </message>
    <message>
        <source>MiniMessage</source>
        <translation>MiniMessage</translation>
    </message>
    <message>
        <source>MiniMessage 渐变标签</source>
        <translation>MiniMessage gradient tag</translation>
    </message>
    <message>
        <source>Minecraft &amp;#</source>
        <translation>Minecraft &amp;#</translation>
    </message>
    <message>
        <source>Minecraft &amp;x</source>
        <translation>Minecraft &amp;x</translation>
    </message>
    <message>
        <source>Minecraft §x</source>
        <translation>Minecraft §x</translation>
    </message>
    <message>
        <source>Minecraft 16 色</source>
        <translation>Minecraft 16 colours</translation>
    </message>
    <message>
        <source>Pango</source>
        <translation>Pango</translation>
    </message>
    <message>
        <source>LaTeX</source>
        <translation>LaTeX</translation>
    </message>
</context>
<context>
    <name>prismel::GradientEditor</name>
    <message>
        <source>彩虹字 Rainbow</source>
        <translation>Rainbow text</translation>
    </message>
    <message>
        <source>编辑渐变</source>
        <translation>Edit gradient</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Place</translation>
    </message>
    <message>
        <source>色标(&amp;S)：</source>
        <translation>&amp;Stops:</translation>
    </message>
    <message>
        <source>添加(&amp;A)</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>更改颜色(&amp;E)…</source>
        <translation>Chang&amp;e colour…</translation>
    </message>
    <message>
        <source>反转(&amp;R)</source>
        <translation>&amp;Reverse</translation>
    </message>
    <message>
        <source>每行重新开始(&amp;L)</source>
        <translation>Restart on each &amp;line</translation>
    </message>
    <message>
        <source>色彩空间(&amp;P)：</source>
        <translation>Colour s&amp;pace:</translation>
    </message>
    <message>
        <source>色相方向(&amp;H)：</source>
        <translation>&amp;Hue direction:</translation>
    </message>
    <message>
        <source>示例：</source>
        <translation>Sample:</translation>
    </message>
</context>
<context>
    <name>prismel::GradientMenu</name>
    <message>
        <source>RGB(&amp;G)</source>
        <translation>&amp;RGB</translation>
    </message>
    <message>
        <source>OKLab(&amp;O)</source>
        <translation>OK&amp;Lab</translation>
    </message>
    <message>
        <source>OKLCH(&amp;C)</source>
        <translation>OKL&amp;CH</translation>
    </message>
    <message>
        <source>最短(&amp;S)</source>
        <translation>&amp;Shorter</translation>
    </message>
    <message>
        <source>最长(&amp;L)</source>
        <translation>&amp;Longer</translation>
    </message>
    <message>
        <source>递增(&amp;I)</source>
        <translation>&amp;Increasing</translation>
    </message>
    <message>
        <source>递减(&amp;D)</source>
        <translation>&amp;Decreasing</translation>
    </message>
    <message>
        <source>彩虹(&amp;R)</source>
        <translation>&amp;Rainbow</translation>
    </message>
    <message>
        <source>编辑渐变(&amp;E)…</source>
        <translation>&amp;Edit gradient…</translation>
    </message>
    <message>
        <source>反转(&amp;V)</source>
        <translation>Re&amp;verse</translation>
    </message>
    <message>
        <source>每行重新开始(&amp;L)</source>
        <translation>Restart on each &amp;line</translation>
    </message>
    <message>
        <source>色彩空间(&amp;S)</source>
        <translation>Colour &amp;space</translation>
    </message>
    <message>
        <source>色相方向(&amp;H)</source>
        <translation>&amp;Hue direction</translation>
    </message>
    <message>
        <source>预设(&amp;P)</source>
        <translation>&amp;Presets</translation>
    </message>
    <message>
        <source>保存当前渐变(&amp;A)…</source>
        <translation>Save gradient &amp;as…</translation>
    </message>
    <message>
        <source>恢复两色(&amp;T)</source>
        <translation>Back to &amp;two colours</translation>
    </message>
    <message>
        <source>保存当前渐变</source>
        <translation>Save gradient</translation>
    </message>
    <message>
        <source>渐变名（英文字母、数字、- 和 _）：</source>
        <translation>Name (letters, digits, - and _):</translation>
    </message>
    <message>
        <source>渐变名不能为空。</source>
        <translation>The name is empty.</translation>
    </message>
    <message>
        <source>渐变名“%1”只能由英文字母、数字、“-”和“_”组成。</source>
        <translation>“%1” is not a name: use only letters, digits, “-” and “_”.</translation>
    </message>
    <message>
        <source>渐变未能保存：%1</source>
        <translation>The gradient was not saved: %1</translation>
    </message>
    <message>
        <source>渐变文件无法读取：%1</source>
        <translation>Gradients file unreadable: %1</translation>
    </message>
    <message>
        <source>更多(&amp;M)…</source>
        <translation>&amp;More…</translation>
    </message>
</context>
<context>
    <name>prismel::PictureMenu</name>
    <message>
        <source>只写入了 %1 字节中的 %2 字节</source>
        <translation>only %2 of %1 bytes were written</translation>
    </message>
    <message>
        <source>复制为图片(&amp;C)</source>
        <translation>&amp;Copy as picture</translation>
    </message>
    <message>
        <source>保存为图片(&amp;S)…</source>
        <translation>&amp;Save as picture…</translation>
    </message>
    <message>
        <source>复制为图片</source>
        <translation>Copy as picture</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>复制到剪贴板成功</source>
        <translation>Copied to the clipboard.</translation>
    </message>
    <message>
        <source>保存为图片</source>
        <translation>Save as picture</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>SVG 图片 (*.svg)</source>
        <translation>SVG image (*.svg)</translation>
    </message>
    <message>
        <source>无法写入“%1”：%2</source>
        <translation>Cannot write “%1”: %2</translation>
    </message>
    <message>
        <source>文字太长，图片只画下了前 %1 行，其后以“…”表示。</source>
        <translation>The text is too long: the picture holds its first %1 lines, followed by “…”.</translation>
    </message>
    <message>
        <source>正在生成图片…</source>
        <translation>Making the picture…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>prismel::SavedGradients</name>
    <message>
        <source>没有设置 HOME 或 XDG_CONFIG_HOME，不知道该保存到哪里</source>
        <translation>Neither HOME nor XDG_CONFIG_HOME is set, so there is nowhere to save it</translation>
    </message>
    <message>
        <source>无法读取“%1”：%2</source>
        <translation>Cannot read “%1”: %2</translation>
    </message>
    <message>
        <source>无法写入“%1”：%2</source>
        <translation>Cannot write “%1”: %2</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>文件太大：最多 %1 MiB</source>
        <translation>the file is too large: at most %1 MiB</translation>
    </message>
    <message>
        <source>无法创建“%1”：%2</source>
        <translation>Cannot create “%1”: %2</translation>
    </message>
</context>
<context>
    <name>prismel::SavedGradientsDialog</name>
    <message>
        <source>已保存的渐变</source>
        <translation>Saved gradients</translation>
    </message>
    <message>
        <source>筛选(&amp;F)：</source>
        <translation>&amp;Filter:</translation>
    </message>
</context>
<context>
    <name>prismel::TextFile</name>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>这是一个文件夹，不是文件</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>无法读取（%1）</source>
        <translation>unreadable (%1)</translation>
    </message>
    <message>
        <source>文件太大：最多可打开 %1 MiB</source>
        <translation>too large: files of up to %1 MiB open</translation>
    </message>
    <message>
        <source>不是 UTF-8 编码的文本</source>
        <translation>not UTF-8 text</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
</context>
</TS>
