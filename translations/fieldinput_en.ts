<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AppendReplaceDialog</name>
    <message>
        <source>数据处理方式</source>
        <translation>Existing file</translation>
    </message>
    <message>
        <source>数据文件已经存在，新数据</source>
        <translation>The data file exists. Put the new data</translation>
    </message>
    <message>
        <source>追加到数据文件中</source>
        <translation>Append to the data file</translation>
    </message>
    <message>
        <source>替换文件中的数据</source>
        <translation>Replace the data in the file</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>用法：
  fieldinput [--lang en|zh] [文件…]
      打开输入窗口（可同时打开给出的数据文件）。
  fieldinput --fit 输入.ves -o 输出.ves [--layers N|auto] [--error 百分数]
      对输入文件的每个测点拟合层状模型，写出带拟合模型的 .ves 文件。
      --layers：模型的层数（1 到 %1），auto 为自动选择（默认）。
      --error：观测值的相对误差，百分数（默认 %2）。
      拟合不了的测点保留原来的模型，并说明原因。
  fieldinput --export-csv 输入文件 -o 输出.csv
      把本程序能打开的数据文件（.ves、测深 .dat、四极剖面、联合剖面）导出为 CSV 表格，
      与窗口中的“导出 CSV”相同。
  fieldinput --help
      显示这些说明。
命令不需要图形界面。退出状态：0 全部完成；1 输出文件已写出，但有测点没能完成；
2 没有写出文件（命令行有误、文件不能读取或写入，或文件中没有测点）。消息写到标准错误。
</source>
        <translation>Usage:
  fieldinput [--lang en|zh] [FILE…]
      Opens the input window (and the data files given).
  fieldinput --fit IN.ves -o OUT.ves [--layers N|auto] [--error PERCENT]
      Fits a layered model to every station of the input file and writes a .ves file with
      the fitted models.
      --layers: the number of layers of the models (1 to %1); auto chooses it (the default).
      --error: the relative error of the readings in percent (default %2).
      A station that cannot be fitted keeps its model, and the reason is told.
  fieldinput --export-csv IN -o OUT.csv
      Exports a data file the program opens (.ves, sounding .dat, four-pole, combined
      profiling) as a CSV table, as 导出 CSV (Export CSV) in the window does.
  fieldinput --help
      Shows these notes.
The commands need no display. Exit status: 0 all done; 1 the output file was written but
some station could not be done; 2 no file written (a wrong command line, a file that cannot
be read or written, or a file without stations). Messages go to standard error.
</translation>
    </message>
</context>
<context>
    <name>CsvImportDialog</name>
    <message>
        <source>编码：无法确定，请在右边选择</source>
        <translation>Encoding: cannot tell, choose one on the right</translation>
    </message>
    <message>
        <source>编码：—</source>
        <translation>Encoding: —</translation>
    </message>
    <message>
        <source>编码：%1，自动识别</source>
        <translation>Encoding: %1, detected</translation>
    </message>
    <message>
        <source>编码：%1，按选择读取</source>
        <translation>Encoding: %1, as chosen</translation>
    </message>
    <message>
        <source>分隔符：—</source>
        <translation>Separator: —</translation>
    </message>
    <message>
        <source>分隔符：%1（数字中的“,”当作小数点）</source>
        <translation>Separator: %1 (a “,” in numbers read as the decimal point)</translation>
    </message>
    <message>
        <source>分隔符：%1</source>
        <translation>Separator: %1</translation>
    </message>
    <message>
        <source>数据类型：看不出</source>
        <translation>Data type: cannot tell</translation>
    </message>
    <message>
        <source>数据类型：%1</source>
        <translation>Data type: %1</translation>
    </message>
    <message>
        <source>数据类型：%1（窗口当前是%2，导入时切换到%1）</source>
        <translation>Data type: %1 (the window shows %2; the import switches to %1)</translation>
    </message>
    <message>
        <source>数据类型：%1。窗口当前是%2，导入时先切换到%1，窗口中的 %3 个测点不再保留（没有保存的会先询问是否保存）。</source>
        <translation>Data type: %1. The window shows %2; the import first switches to %1, and the %3 stations in the window are not kept (you are asked to save unsaved ones first).</translation>
    </message>
    <message>
        <source>不认识，不导入</source>
        <translation>not understood, not imported</translation>
    </message>
    <message>
        <source>序号，不导入</source>
        <translation>row number, not imported</translation>
    </message>
    <message>
        <source>%1，不导入</source>
        <translation>%1, not imported</translation>
    </message>
    <message>
        <source>将导入 %1 条测线（%2 行数据）。</source>
        <translation>Lines to import: %1 (data rows: %2).</translation>
    </message>
    <message>
        <source>将导入 %1 个分支（%2 行数据）。</source>
        <translation>%1 branches will be imported (%2 data rows).</translation>
    </message>
    <message>
        <source>将导入 %1 个测点（%2 行数据）。</source>
        <translation>Stations to import: %1 (data rows: %2).</translation>
    </message>
    <message>
        <source>文件：%1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>（空）</source>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>不能导入：%1</source>
        <translation>Cannot import: %1</translation>
    </message>
    <message>
        <source>有 %1 处没有通过输入检查，什么也不会导入。请在电子表格中改正后再导入。</source>
        <translation>%1 entries failed the input checks; nothing will be imported. Correct them in the spreadsheet and import again.</translation>
    </message>
    <message>
        <source>文件中没有可以导入的测点。</source>
        <translation>The file holds no stations to import.</translation>
    </message>
    <message>
        <source>导入 CSV</source>
        <translation>Import CSV</translation>
    </message>
    <message>
        <source>按此编码读取：</source>
        <translation>Read as:</translation>
    </message>
    <message>
        <source>自动识别</source>
        <translation>Detect</translation>
    </message>
    <message>
        <source>各列的理解</source>
        <translation>How the columns are understood</translation>
    </message>
    <message>
        <source>列</source>
        <translation>Column</translation>
    </message>
    <message>
        <source>表头</source>
        <translation>Header</translation>
    </message>
    <message>
        <source>理解为</source>
        <translation>Understood as</translation>
    </message>
    <message>
        <source>被拒绝的行</source>
        <translation>Refused rows</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>被拒绝的行及原因（%1 条）</source>
        <translation>Refused rows and why (%1)</translation>
    </message>
    <message>
        <source>被拒绝的 %1 行不导入。</source>
        <translation> The %1 refused rows are left out.</translation>
    </message>
    <message>
        <source>按此类型导入：</source>
        <translation>Import as:</translation>
    </message>
    <message>
        <source>按表头判断</source>
        <translation>As the header says</translation>
    </message>
    <message>
        <source>改为</source>
        <translation>Change to</translation>
    </message>
    <message>
        <source>不导入</source>
        <translation>Not imported</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>帮助 - 手工输入野外电法观测数据</source>
        <translation>Help - FieldInput</translation>
    </message>
    <message>
        <source>查找(&amp;F)：</source>
        <translation>&amp;Find:</translation>
    </message>
    <message>
        <source>输入要查找的文字，按 Enter 查找下一处</source>
        <translation>Type the text to find; Enter finds the next match</translation>
    </message>
    <message>
        <source>已到文档末尾，从开头继续查找。</source>
        <translation>Reached the end of the document; continued from the top.</translation>
    </message>
    <message>
        <source>找不到“%1”。</source>
        <translation>“%1” not found.</translation>
    </message>
</context>
<context>
    <name>ModelPane</name>
    <message>
        <source>层数</source>
        <translation>Layers</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>下一次拟合的层数；“自动”取能拟合读数的最少层数</source>
        <translation>Number of layers of the next fit; “Auto” takes the fewest layers that fit the readings</translation>
    </message>
    <message>
        <source>拟合</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>按选定的层数和锁定的参数拟合读数</source>
        <translation>Fit the readings with the chosen number of layers, keeping the locked parameters</translation>
    </message>
    <message>
        <source>接受</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>把拟合的模型保存到测点</source>
        <translation>Keep the fitted model with the station</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>去掉测点的模型</source>
        <translation>Remove the station&apos;s model</translation>
    </message>
    <message>
        <source>h (m)</source>
        <translation>h (m)</translation>
    </message>
    <message>
        <source>底深 (m)</source>
        <translation>Bottom (m)</translation>
    </message>
    <message>
        <source>ρ (Ω·m)</source>
        <translation>ρ (Ω·m)</translation>
    </message>
    <message>
        <source>S 或 T</source>
        <translation>S or T</translation>
    </message>
    <message>
        <source>层的厚度，米</source>
        <translation>Thickness of the layer, metres</translation>
    </message>
    <message>
        <source>层底面的深度，米</source>
        <translation>Depth of the layer&apos;s bottom, metres</translation>
    </message>
    <message>
        <source>层的电阻率，欧姆米</source>
        <translation>Resistivity of the layer, ohm-metres</translation>
    </message>
    <message>
        <source>纵向电导 S = h/ρ（西门子）或横向电阻 T = h·ρ（欧姆平方米）</source>
        <translation>Longitudinal conductance S = h/ρ (siemens) or transverse resistance T = h·ρ (ohm-square metres)</translation>
    </message>
    <message>
        <source>每格下面一行是等价范围：与最佳模型拟合得差不多好的模型中这个数值的范围</source>
        <translation>The second line of each cell is the equivalence range: the values this parameter takes in models that fit about as well as the best one</translation>
    </message>
    <message>
        <source>基底</source>
        <translation>Basement</translation>
    </message>
    <message>
        <source>S %1</source>
        <translation>S %1</translation>
    </message>
    <message>
        <source>T %1</source>
        <translation>T %1</translation>
    </message>
    <message>
        <source>读数只确定这一层的纵向电导 S：h 和 ρ 可以在范围内一起变化</source>
        <translation>The readings determine only this layer&apos;s conductance S: h and ρ can change together within their ranges</translation>
    </message>
    <message>
        <source>读数只确定这一层的横向电阻 T：h 和 ρ 可以在范围内一起变化</source>
        <translation>The readings determine only this layer&apos;s transverse resistance T: h and ρ can change together within their ranges</translation>
    </message>
    <message>
        <source>读数确定不了这一层</source>
        <translation>The readings do not determine this layer</translation>
    </message>
    <message>
        <source>勾选：下一次拟合时保持这个数值（例如钻孔给出的深度）</source>
        <translation>Checked: the next fit keeps this value (such as a depth known from a borehole)</translation>
    </message>
    <message>
        <source>≤ %1</source>
        <translation>≤ %1</translation>
    </message>
    <message>
        <source>≥ %1</source>
        <translation>≥ %1</translation>
    </message>
    <message>
        <source>测点的模型，均方根误差 %1 %</source>
        <translation>Station&apos;s model, RMS misfit %1 %</translation>
    </message>
    <message>
        <source>拟合的模型（尚未接受），均方根误差 %1 %</source>
        <translation>Fitted model (not accepted), RMS misfit %1 %</translation>
    </message>
    <message>
        <source>正在修改，均方根误差 %1 %</source>
        <translation>Being changed, RMS misfit %1 %</translation>
    </message>
    <message>
        <source>正在拟合…</source>
        <translation>Fitting…</translation>
    </message>
    <message>
        <source>不能拟合：%1</source>
        <translation>Cannot fit: %1</translation>
    </message>
    <message>
        <source>剖面数据没有层状模型。</source>
        <translation>Profiling data have no layered model.</translation>
    </message>
    <message>
        <source>至少要有 3 个不同极距上的 4 个读数才能拟合。</source>
        <translation>A fit needs at least 4 readings at 3 different spacings.</translation>
    </message>
    <message>
        <source>还没有模型：点“拟合”，或打开“实时拟合”。</source>
        <translation>No model yet: press “Fit”, or turn on “Live fit”.</translation>
    </message>
    <message>
        <source>“%1”不是正数。</source>
        <translation>“%1” is not a positive number.</translation>
    </message>
    <message>
        <source>第 %1 层的底深应在它的顶深 %2 m 和下一层的底深 %3 m 之间。</source>
        <translation>The bottom of layer %1 must lie between its top at %2 m and the bottom of the next layer at %3 m.</translation>
    </message>
    <message>
        <source>第 %1 层的底深应大于它的顶深 %2 m。</source>
        <translation>The bottom of layer %1 must lie below its top at %2 m.</translation>
    </message>
    <message>
        <source>数值超出模型允许的范围。</source>
        <translation>The value is outside the range the model allows.</translation>
    </message>
    <message>
        <source>层状模型</source>
        <translation>Layered model</translation>
    </message>
    <message>
        <source>深度 (m)</source>
        <translation>Depth (m)</translation>
    </message>
    <message>
        <source>电阻率 (Ω·m)</source>
        <translation>Resistivity (Ω·m)</translation>
    </message>
</context>
<context>
    <name>PdfReport</name>
    <message>
        <source>断面图：测线 %1</source>
        <translation>Sections: line %1</translation>
    </message>
    <message>
        <source>剖面平面图</source>
        <translation>Plan map of the lines</translation>
    </message>
</context>
<context>
    <name>PdfReportDialog</name>
    <message>
        <source>导出 PDF 报告</source>
        <translation>Export PDF report</translation>
    </message>
    <message>
        <source>报告文件(&amp;F)：</source>
        <translation>Report &amp;file:</translation>
    </message>
    <message>
        <source>浏览(&amp;B)…</source>
        <translation>&amp;Browse…</translation>
    </message>
    <message>
        <source>每个测点/测线附曲线图页(&amp;P)</source>
        <translation>Add a &amp;plot page for each station/line</translation>
    </message>
    <message>
        <source>剖面数据没有打印列表，报告由每条测线的曲线图页组成。</source>
        <translation>Profile data have no printed listing; the report consists of a plot page for each line.</translation>
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
        <source>PDF 文档 (*.pdf)</source>
        <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
        <source>%1 是一个文件夹，请输入文件名。</source>
        <translation>%1 is a folder. Please enter a file name.</translation>
    </message>
    <message>
        <source>文件 %1 已经存在。再按“确定”将替换它。</source>
        <translation>The file %1 already exists. Press OK again to replace it.</translation>
    </message>
</context>
<context>
    <name>PlotPane</name>
    <message>
        <source>激电参数</source>
        <translation>IP parameter</translation>
    </message>
    <message>
        <source>异常倍数</source>
        <translation>Outlier factor</translation>
    </message>
    <message>
        <source>读数与相邻读数连线相差超过此倍数时标出</source>
        <translation>A reading is marked when it differs from the line through its neighbours by more than this factor</translation>
    </message>
    <message>
        <source>导出曲线图(&amp;E)...</source>
        <translation>&amp;Export plot...</translation>
    </message>
    <message>
        <source>导出曲线图</source>
        <translation>Export plot</translation>
    </message>
    <message>
        <source>PNG 图像 (*.png);;SVG 图形 (*.svg);;PDF 文档 (*.pdf)</source>
        <translation>PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>曲线图没有保存到 %1：%2</source>
        <translation>The plot was not saved to %1: %2</translation>
    </message>
    <message>
        <source>不能识别的图像格式，请用 .png、.svg 或 .pdf 作扩展名</source>
        <translation>Unknown picture format; use .png, .svg or .pdf as the extension</translation>
    </message>
    <message>
        <source>无法绘制图像</source>
        <translation>Cannot draw the picture</translation>
    </message>
    <message>
        <source>当前数据</source>
        <translation>Current data</translation>
    </message>
    <message>
        <source>对比：%1</source>
        <translation>Compared: %1</translation>
    </message>
    <message>
        <source>%1 支</source>
        <translation>Branch %1</translation>
    </message>
    <message>
        <source>偏离曲线的读数</source>
        <translation>Readings off the curve</translation>
    </message>
    <message>
        <source>交点</source>
        <translation>Crossings</translation>
    </message>
    <message>
        <source>%1，第 %2 行：%3 = %4，%5 = %6</source>
        <translation>%1, row %2: %3 = %4, %5 = %6</translation>
    </message>
    <message>
        <source>偏离曲线的读数：第 %1 行</source>
        <translation>Readings off the curve: row %1</translation>
    </message>
    <message>
        <source>不是正数，未绘出：第 %1 行</source>
        <translation>Not positive, not drawn: row %1</translation>
    </message>
    <message>
        <source>%1重复：第 %2 行</source>
        <translation>%1 repeated: row %2</translation>
    </message>
    <message>
        <source>%1顺序颠倒：第 %2 行</source>
        <translation>%1 out of order: row %2</translation>
    </message>
    <message>
        <source>两支没有交点</source>
        <translation>The branches do not cross</translation>
    </message>
    <message>
        <source>两支的交点：%1</source>
        <translation>Branches cross at: %1</translation>
    </message>
    <message>
        <source>点号 %1（%2）</source>
        <translation>point %1 (%2)</translation>
    </message>
    <message>
        <source>点号 %1 相切（%2）</source>
        <translation>point %1, touching (%2)</translation>
    </message>
    <message>
        <source>点号 %1 至 %2 重合</source>
        <translation>points %1 to %2 coincide</translation>
    </message>
    <message>
        <source>该读数偏离曲线</source>
        <translation>This reading is off the curve</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>曲线图</source>
        <translation>curve</translation>
    </message>
    <message>
        <source>模型曲线</source>
        <translation>Model curve</translation>
    </message>
    <message>
        <source>实时拟合</source>
        <translation>Live fit</translation>
    </message>
    <message>
        <source>输入测深读数时拟合层状模型，在图上画出模型曲线（只是建议，不保存到测点）</source>
        <translation>Fits a layered model while sounding readings are typed and draws its curve on the plot (a proposal only; the station keeps no model)</translation>
    </message>
    <message>
        <source>测点的模型：%1 层，均方根误差 %2 %</source>
        <translation>Station&apos;s model: %1 layers, RMS misfit %2 %</translation>
    </message>
    <message>
        <source>拟合的模型（建议，未保存到测点）：%1 层，均方根误差 %2 %</source>
        <translation>Fitted model (a proposal, not stored with the station): %1 layers, RMS misfit %2 %</translation>
    </message>
    <message>
        <source>正在拟合…</source>
        <translation>Fitting…</translation>
    </message>
    <message>
        <source>不能拟合：%1</source>
        <translation>Cannot fit: %1</translation>
    </message>
    <message>
        <source>该读数偏离模型曲线 %1 %</source>
        <translation>This reading misses the model curve by %1 %</translation>
    </message>
    <message>
        <source>正在修改的模型：%1 层，均方根误差 %2 %</source>
        <translation>Model being changed: %1 layers, RMS misfit %2 %</translation>
    </message>
</context>
<context>
    <name>QtDialogs</name>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>恢复数据</source>
        <translation>Recover data</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>以后再说</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>CSV 表格 (*.csv);;文本文件 (*.txt);;所有文件 (*)</source>
        <translation>CSV table (*.csv);;Text file (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>导入 CSV</source>
        <translation>Import CSV</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <translation>Export CSV</translation>
    </message>
</context>
<context>
    <name>RecoveryUi</name>
    <message>
        <source>上次运行未正常结束，是否恢复未保存的数据?</source>
        <translation>The last run did not end normally. Restore the unsaved data?</translation>
    </message>
    <message>
        <source>（未打开文件）</source>
        <translation>(no file open)</translation>
    </message>
    <message>
        <source>数据类型：%1
%2（%3）
文件：%4
最后写入：%5</source>
        <translation>Data type: %1
%2 (%3)
File: %4
Last written: %5</translation>
    </message>
    <message>
        <source>已保存</source>
        <translation>saved</translation>
    </message>
    <message>
        <source>未保存</source>
        <translation>not saved</translation>
    </message>
    <message>
        <source>上次运行留下的恢复文件已损坏，不能恢复：%1
文件已改名为 %2，留作查看。</source>
        <translation>The recovery file of the last run is damaged and cannot be restored: %1
The file was renamed %2 and kept for inspection.</translation>
    </message>
    <message>
        <source>上次运行留下的恢复文件已损坏，不能恢复：%1</source>
        <translation>The recovery file of the last run is damaged and cannot be restored: %1</translation>
    </message>
    <message>
        <source>数据已恢复，但不能写入新的恢复文件；原来的恢复文件保留在 %1。</source>
        <translation>The data were restored, but no new recovery file can be written; the old one is kept at %1.</translation>
    </message>
    <message>
        <source>数据已恢复，但原来的恢复文件 %1 不能删除。</source>
        <translation>The data were restored, but the old recovery file %1 cannot be deleted.</translation>
    </message>
    <message>
        <source>恢复文件 %1 不能删除。</source>
        <translation>The recovery file %1 cannot be deleted.</translation>
    </message>
    <message>
        <source>不能写入恢复文件：程序意外退出时，未保存的数据将不能恢复。请尽快保存数据。</source>
        <translation>Cannot write the recovery file: if the program stops unexpectedly, unsaved data cannot be recovered. Save your data soon.</translation>
    </message>
    <message>
        <source>恢复文件夹 %1 可能被其他用户改动（它或它的上级文件夹不属于当前用户，或者其他用户可以写入）。为安全起见，本次运行不使用恢复文件：程序意外退出时，未保存的数据将不能恢复。请及时保存数据。</source>
        <translation>The recovery folder %1 could be changed by other users (it or a folder above it does not belong to you, or other users can write to it). To be safe, this run does not use recovery files: if the program stops unexpectedly, unsaved data cannot be recovered. Save your data often.</translation>
    </message>
    <message>
        <source>不能建立恢复文件：程序意外退出时，未保存的数据将不能恢复。</source>
        <translation>Cannot create the recovery file: if the program stops unexpectedly, unsaved data cannot be recovered.</translation>
    </message>
    <message>
        <source>恢复文件中有 %1 条未保存的测线。放弃后它们将永远丢失。

确定放弃吗?</source>
        <translation>The recovery file holds unsaved lines: %1. Discarded, they are lost for good.

Discard them?</translation>
    </message>
    <message>
        <source>恢复文件中有 %1 个未保存的分支。放弃后它们将永远丢失。

确定放弃吗?</source>
        <translation>The recovery file holds unsaved branches: %1. Discarded, they are lost for good.

Discard them?</translation>
    </message>
    <message>
        <source>恢复文件中有 %1 个未保存的测点。放弃后它们将永远丢失。

确定放弃吗?</source>
        <translation>The recovery file holds unsaved stations: %1. Discarded, they are lost for good.

Discard them?</translation>
    </message>
    <message>
        <source>放弃恢复</source>
        <translation>Discard recovery</translation>
    </message>
</context>
<context>
    <name>SectionView</name>
    <message>
        <source>视电阻率拟断面</source>
        <translation>Apparent resistivity pseudo-section</translation>
    </message>
    <message>
        <source>地电断面（测点的模型）</source>
        <translation>Geoelectric section (the stations&apos; models)</translation>
    </message>
    <message>
        <source>剖面平面图：视电阻率</source>
        <translation>Plan map of the lines: apparent resistivity</translation>
    </message>
    <message>
        <source>x (m)</source>
        <translation>x (m)</translation>
    </message>
    <message>
        <source>点号 (m)</source>
        <translation>Point (m)</translation>
    </message>
    <message>
        <source>AB/2 (m)</source>
        <translation>AB/2 (m)</translation>
    </message>
    <message>
        <source>深度 (m)</source>
        <translation>Depth (m)</translation>
    </message>
    <message>
        <source>测线</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Ω·m</source>
        <translation>Ω·m</translation>
    </message>
    <message>
        <source>无模型</source>
        <translation>no model</translation>
    </message>
    <message>
        <source>还没有可以画出的测点</source>
        <translation>No stations to draw yet</translation>
    </message>
    <message>
        <source>测点 %1：AB/2 = %2 m，视电阻率 %3 Ω·m</source>
        <translation>Station %1: AB/2 = %2 m, apparent resistivity %3 Ω·m</translation>
    </message>
    <message>
        <source>测点 %1：深度 %2 m，电阻率 %3 Ω·m</source>
        <translation>Station %1: depth %2 m, resistivity %3 Ω·m</translation>
    </message>
    <message>
        <source>测线 %1：点号 %2，视电阻率 %3 Ω·m</source>
        <translation>Line %1: point %2, apparent resistivity %3 Ω·m</translation>
    </message>
    <message>
        <source>测点 %1</source>
        <translation>Station %1</translation>
    </message>
    <message>
        <source>测线 %1：两支交于点号 %2</source>
        <translation>Line %1: the branches cross at point %2</translation>
    </message>
    <message>
        <source>联合剖面两支没有交点</source>
        <translation>The combined-profiling branches do not cross</translation>
    </message>
    <message>
        <source>剖面</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>深度</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>导出断面图...</source>
        <translation>Export sections...</translation>
    </message>
    <message>
        <source>导出断面图</source>
        <translation>Export sections</translation>
    </message>
    <message>
        <source>PNG 图像 (*.png);;SVG 图像 (*.svg);;PDF 文件 (*.pdf)</source>
        <translation>PNG image (*.png);;SVG image (*.svg);;PDF file (*.pdf)</translation>
    </message>
    <message>
        <source>文件名应以 .png、.svg 或 .pdf 结尾。</source>
        <translation>The file name should end in .png, .svg or .pdf.</translation>
    </message>
    <message>
        <source>断面图</source>
        <translation>Sections</translation>
    </message>
    <message>
        <source>无法写入文件 %1。</source>
        <translation>Cannot write the file %1.</translation>
    </message>
</context>
<context>
    <name>SpacingsDialog</name>
    <message>
        <source>默认极距</source>
        <translation>Default spacings</translation>
    </message>
    <message>
        <source>“默认极距”按钮和新的测深表格使用的 AB/2 值，每行一个，从小到大：</source>
        <translation>AB/2 values used by the “Default spacings” button and new sounding grids, one per line, smallest first:</translation>
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
        <source>恢复默认值</source>
        <translation>Restore defaults</translation>
    </message>
</context>
<context>
    <name>StationList</name>
    <message>
        <source>测点</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>测线</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>读数</source>
        <translation>Readings</translation>
    </message>
    <message>
        <source>测点数</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>拟合误差 (%)</source>
        <translation>Misfit (%)</translation>
    </message>
    <message>
        <source>测点列表</source>
        <translation>Station list</translation>
    </message>
</context>
<context>
    <name>StationPlan</name>
    <message>
        <source>测点位置图</source>
        <translation>Station plan</translation>
    </message>
    <message>
        <source>x (m)</source>
        <translation>x (m)</translation>
    </message>
    <message>
        <source>y (m)</source>
        <translation>y (m)</translation>
    </message>
    <message>
        <source>当前测点：%1（x = %2，y = %3）</source>
        <translation>Shown station: %1 (x = %2, y = %3)</translation>
    </message>
    <message>
        <source>单击测点可显示该测点</source>
        <translation>Click a station to show it</translation>
    </message>
    <message>
        <source>%1（x = %2，y = %3）</source>
        <translation>%1 (x = %2, y = %3)</translation>
    </message>
</context>
<context>
    <name>TAbout</name>
    <message>
        <source>手工输入野外电法观测数据</source>
        <translation>FieldInput – resistivity field data input</translation>
    </message>
    <message>
        <source>FieldInput 版本 %1</source>
        <translation>FieldInput version %1</translation>
    </message>
    <message>
        <source>制作：FieldInput 开发组
电子邮件：%1</source>
        <translation>Made by the FieldInput development team
E-mail: %1</translation>
    </message>
    <message>
        <source>版权所有 © FieldInput 开发组，保留所有权利。</source>
        <translation>Copyright © FieldInput development team. All rights reserved.</translation>
    </message>
    <message>
        <source>本软件受著作权法保护。未经许可，不得复制或分发本软件的全部或部分。</source>
        <translation>This software is protected by copyright law. It may not be copied or distributed, in whole or in part, without permission.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>TInputDataForm</name>
    <message>
        <source>手工输入野外电法观测数据</source>
        <translation>Field Resistivity Data Input</translation>
    </message>
    <message>
        <source>数据类型</source>
        <translation>Data type</translation>
    </message>
    <message>
        <source>电阻率测深</source>
        <translation>Resistivity sounding</translation>
    </message>
    <message>
        <source>电阻率找水</source>
        <translation>Sounding for water (IP)</translation>
    </message>
    <message>
        <source>四极剖面数据</source>
        <translation>Four-pole profiling</translation>
    </message>
    <message>
        <source>联合剖面法</source>
        <translation>Combined profiling</translation>
    </message>
    <message>
        <source>测点信息</source>
        <translation>Station details</translation>
    </message>
    <message>
        <source>测点编号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>剖面编号</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>测区</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>点位x-坐标</source>
        <translation>x coordinate</translation>
    </message>
    <message>
        <source>点位y-坐标</source>
        <translation>y coordinate</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>仪器类型</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>极距个数:</source>
        <translation>Spacings:</translation>
    </message>
    <message>
        <source>默认极距</source>
        <translation>Default spacings</translation>
    </message>
    <message>
        <source>清除数据</source>
        <translation>Clear data</translation>
    </message>
    <message>
        <source>插入数据</source>
        <translation>Insert data</translation>
    </message>
    <message>
        <source>前一个测点</source>
        <translation>Previous station</translation>
    </message>
    <message>
        <source>下一个测点</source>
        <translation>Next station</translation>
    </message>
    <message>
        <source>保存到文件</source>
        <translation>Save to file</translation>
    </message>
    <message>
        <source>新测线</source>
        <translation>New line</translation>
    </message>
    <message>
        <source>打印数据</source>
        <translation>Print data</translation>
    </message>
    <message>
        <source>&amp;退出</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>帮助...</source>
        <translation>Help...</translation>
    </message>
    <message>
        <source>观测数据:</source>
        <translation>Readings:</translation>
    </message>
    <message>
        <source>当前输入</source>
        <translation>Entering</translation>
    </message>
    <message>
        <source>插入一行</source>
        <translation>Insert row</translation>
    </message>
    <message>
        <source>删除该行</source>
        <translation>Delete row</translation>
    </message>
    <message>
        <source>插入测点</source>
        <translation>Insert station</translation>
    </message>
    <message>
        <source>更新当前测点</source>
        <translation>Update station</translation>
    </message>
    <message>
        <source>删除当前测点</source>
        <translation>Delete station</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>新测线(&amp;New)</source>
        <translation>&amp;New line</translation>
    </message>
    <message>
        <source>打印数据(&amp;P)</source>
        <translation>&amp;Print data</translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation>Print preview</translation>
    </message>
    <message>
        <source>导入 CSV…</source>
        <translation>Import CSV…</translation>
    </message>
    <message>
        <source>导出 CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>数据操纵(&amp;D)</source>
        <translation>&amp;Data</translation>
    </message>
    <message>
        <source>插入数据(&amp;I)</source>
        <translation>&amp;Insert data</translation>
    </message>
    <message>
        <source>清除数据(&amp;C)</source>
        <translation>&amp;Clear data</translation>
    </message>
    <message>
        <source>上一测点(&amp;P)</source>
        <translation>&amp;Previous station</translation>
    </message>
    <message>
        <source>下一测点(&amp;N)</source>
        <translation>&amp;Next station</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>显示曲线</source>
        <translation>Show plot</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>使用数据输入程序(&amp;H)</source>
        <translation>&amp;Using the program</translation>
    </message>
    <message>
        <source>关于数据输入(&amp;A)</source>
        <translation>&amp;About data input</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>插入数据 (Ctrl+Enter)</source>
        <translation>Insert data (Ctrl+Enter)</translation>
    </message>
    <message>
        <source>撤销 %1</source>
        <translation>Undo %1</translation>
    </message>
    <message>
        <source>重做 %1</source>
        <translation>Redo %1</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>没有数据可以导出。</source>
        <translation>There are no data to export.</translation>
    </message>
    <message>
        <source>无法写入文件 %1，没有导出。</source>
        <translation>Cannot write the file %1; nothing was exported.</translation>
    </message>
    <message>
        <source>输入野外数据...</source>
        <translation>Field data input...</translation>
    </message>
    <message>
        <source>打开数据文件</source>
        <translation>Open data file</translation>
    </message>
    <message>
        <source>打开(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>最近打开的文件</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>默认极距设置(&amp;T)...</source>
        <translation>Default spacings se&amp;ttings...</translation>
    </message>
    <message>
        <source>文件 %1 已不存在，已从最近打开的文件中删除。</source>
        <translation>The file %1 no longer exists; it was removed from the recent files.</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>打印失败</source>
        <translation>Printing failed</translation>
    </message>
    <message>
        <source>没有数据可以打印。</source>
        <translation>There are no data to print.</translation>
    </message>
    <message>
        <source>无法开始打印，请检查打印机。</source>
        <translation>Printing cannot start; check the printer.</translation>
    </message>
    <message>
        <source>打印未能完成，请检查打印机。</source>
        <translation>Printing did not finish; check the printer.</translation>
    </message>
    <message>
        <source>导出 PDF 报告(&amp;D)…</source>
        <translation>Export PDF &amp;report…</translation>
    </message>
    <message>
        <source>观测数据报告</source>
        <translation>Field data report</translation>
    </message>
    <message>
        <source>导出 PDF 报告</source>
        <translation>Export PDF report</translation>
    </message>
    <message>
        <source>电法观测数据 %1</source>
        <translation>Resistivity field data %1</translation>
    </message>
    <message>
        <source>正在生成 PDF 报告…</source>
        <translation>Writing the PDF report…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>无法写入文件 %1，PDF 报告没有导出。</source>
        <translation>Cannot write the file %1; the PDF report was not exported.</translation>
    </message>
    <message>
        <source>电法勘探数据处理软件...</source>
        <translation>Electrical prospecting data software...</translation>
    </message>
    <message>
        <source>野外数据文件 (*.ves *.dat *.VES *.DAT);;QL电测深数据格式 (*.ves *.VES);;数据文件 (*.dat *.DAT);;所有文件 (*)</source>
        <translation>Field data files (*.ves *.dat *.VES *.DAT);;QL sounding data (*.ves *.VES);;Data files (*.dat *.DAT);;All files (*)</translation>
    </message>
    <message>
        <source>测点列表</source>
        <translation>Station list</translation>
    </message>
    <message>
        <source>另存为(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>测点位置图</source>
        <translation>Station plan</translation>
    </message>
    <message>
        <source>层状模型</source>
        <translation>Layered model</translation>
    </message>
    <message>
        <source>解释(&amp;I)</source>
        <translation>&amp;Interpretation</translation>
    </message>
    <message>
        <source>层状模型面板</source>
        <translation>Layered model panel</translation>
    </message>
    <message>
        <source>拟合全部测点(&amp;A)…</source>
        <translation>Fit &amp;all stations…</translation>
    </message>
    <message>
        <source>拟合全部测点</source>
        <translation>Fit all stations</translation>
    </message>
    <message>
        <source>剖面数据没有层状模型。</source>
        <translation>Profiling data have no layered model.</translation>
    </message>
    <message>
        <source>还没有插入的测点。</source>
        <translation>No station has been inserted yet.</translation>
    </message>
    <message>
        <source>有些测点已经有模型。是否也重新拟合它们？

是：拟合全部测点
否：只拟合没有模型的测点</source>
        <translation>Some stations have a model already. Fit them again too?

Yes: fit every station
No: fit only the stations without a model</translation>
    </message>
    <message>
        <source>断面图</source>
        <translation>Sections</translation>
    </message>
</context>
<context>
    <name>WorkProgress</name>
    <message>
        <source>请稍候</source>
        <translation>Please wait</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在取消…</source>
        <translation>Cancelling…</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>行号</source>
        <translation>Row number</translation>
    </message>
    <message>
        <source>AB/2：供电电极距之半，单位 m</source>
        <translation>AB/2: half the current-electrode spacing, in m</translation>
    </message>
    <message>
        <source>视电阻率，单位 Ω·m</source>
        <translation>Apparent resistivity, in Ω·m</translation>
    </message>
    <message>
        <source>点号：测点在测线上的位置，单位 m</source>
        <translation>Point: the station&apos;s place on the line, in m</translation>
    </message>
    <message>
        <source>MN/2：测量电极距之半，单位 m</source>
        <translation>MN/2: half the potential-electrode spacing, in m</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>极距</source>
        <translation>AB/2</translation>
    </message>
    <message>
        <source>视电阻率</source>
        <translation>App. resistivity</translation>
    </message>
    <message>
        <source>测点信息</source>
        <translation>Station details</translation>
    </message>
    <message>
        <source>极距个数</source>
        <translation>Spacings</translation>
    </message>
    <message>
        <source>没有测点数据</source>
        <translation>No station data</translation>
    </message>
    <message>
        <source>综合激电参数</source>
        <translation>IP parameter ZP</translation>
    </message>
    <message>
        <source>半衰时</source>
        <translation>Half-decay time</translation>
    </message>
    <message>
        <source>衰减度</source>
        <translation>Decay</translation>
    </message>
    <message>
        <source>偏离度</source>
        <translation>Deviation</translation>
    </message>
    <message>
        <source>视极化率</source>
        <translation>App. chargeability</translation>
    </message>
    <message>
        <source>综合激电参数，单位 %·ms</source>
        <translation>Combined IP parameter, in %·ms</translation>
    </message>
    <message>
        <source>半衰时，单位 ms</source>
        <translation>Half-decay time, in ms</translation>
    </message>
    <message>
        <source>衰减度，单位 %</source>
        <translation>Decay, in %</translation>
    </message>
    <message>
        <source>偏离度，单位 %</source>
        <translation>Deviation, in %</translation>
    </message>
    <message>
        <source>视极化率，单位 %</source>
        <translation>Apparent chargeability, in %</translation>
    </message>
    <message>
        <source>点号</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>测线信息</source>
        <translation>Line details</translation>
    </message>
    <message>
        <source>测点个数</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>没有测线</source>
        <translation>No lines</translation>
    </message>
    <message>
        <source>保存输入的数据为...</source>
        <translation>Save the data as...</translation>
    </message>
    <message>
        <source>QL电测深数据格式(*.ves)|*.ves|DZD测深数据文件(*.dat)|*.dat</source>
        <translation>QL sounding data (*.ves)|*.ves|DZD sounding data file (*.dat)|*.dat</translation>
    </message>
    <message>
        <source>表格的行数或列数不对。</source>
        <translation>The grid has the wrong number of rows or columns.</translation>
    </message>
    <message>
        <source>联合剖面的分支不对。</source>
        <translation>The combined-profiling branch is wrong.</translation>
    </message>
    <message>
        <source>测点的极距个数不对。</source>
        <translation>A station has the wrong number of spacings.</translation>
    </message>
    <message>
        <source>测点的数据个数与极距个数不一致。</source>
        <translation>A station&apos;s number of readings does not match its number of spacings.</translation>
    </message>
    <message>
        <source>不是本程序的恢复文件。</source>
        <translation>This is not a recovery file of this program.</translation>
    </message>
    <message>
        <source>文件不完整：只有文件头的一部分。</source>
        <translation>The file is incomplete: it holds only part of its header.</translation>
    </message>
    <message>
        <source>校验和不符，文件内容已损坏。</source>
        <translation>The checksum does not match; the file&apos;s contents are damaged.</translation>
    </message>
    <message>
        <source>文件内容已损坏。</source>
        <translation>The file&apos;s contents are damaged.</translation>
    </message>
    <message>
        <source>数据类型不对。</source>
        <translation>The data type is wrong.</translation>
    </message>
    <message>
        <source>表格的列数与数据类型不符。</source>
        <translation>The grid&apos;s number of columns does not match the data type.</translation>
    </message>
    <message>
        <source>当前测点的序号不对。</source>
        <translation>The number of the current station is wrong.</translation>
    </message>
    <message>
        <source>内存不足，恢复文件没有读入。</source>
        <translation>Out of memory; the recovery file was not read.</translation>
    </message>
    <message>
        <source>文件太大，不是本程序写的恢复文件。</source>
        <translation>The file is too large to be a recovery file of this program.</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>输入的不是有效的数字。

	请重新输入.</source>
        <translation>What was typed is not a valid number.

	Please type it again.</translation>
    </message>
    <message>
        <source>极距个数输入无效的字母.</source>
        <translation>The number of spacings contains letters.</translation>
    </message>
    <message>
        <source>极距个数输入不正确.

	请重新输入。</source>
        <translation>The number of spacings is not valid.

	Please type it again.</translation>
    </message>
    <message>
        <source>请首先输入极距个数。</source>
        <translation>Enter the number of spacings first.</translation>
    </message>
    <message>
        <source>与该点坐标一样的测点已经输入，请更改点号或坐标后再插入。</source>
        <translation>A station with the same coordinates was already entered. Change the point or the coordinates, then insert.</translation>
    </message>
    <message>
        <source>您已经输入完成一条联合剖面的数据输入。请保存输入结果！</source>
        <translation>You have entered a whole combined-profiling line. Please save it!</translation>
    </message>
    <message>
        <source>输入的数据尚没有保存，是否现在保存它们?</source>
        <translation>The data entered are not saved yet. Save them now?</translation>
    </message>
    <message>
        <source>是否保存输入的数据?</source>
        <translation>Save the data entered?</translation>
    </message>
    <message>
        <source>当前测点的数据已修改，是否更新?</source>
        <translation>The current station was changed. Update it?</translation>
    </message>
    <message>
        <source>当前没有数据</source>
        <translation>No data yet</translation>
    </message>
    <message>
        <source>测点编号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>剖面编号</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>测区</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>点位x-坐标</source>
        <translation>x coordinate</translation>
    </message>
    <message>
        <source>点位y-坐标</source>
        <translation>y coordinate</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>仪器类型</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>输入单元格</source>
        <translation>Typing in a cell</translation>
    </message>
    <message>
        <source>插入数据</source>
        <translation>Insert data</translation>
    </message>
    <message>
        <source>更新当前测点</source>
        <translation>Update station</translation>
    </message>
    <message>
        <source>前一个测点</source>
        <translation>Previous station</translation>
    </message>
    <message>
        <source>下一个测点</source>
        <translation>Next station</translation>
    </message>
    <message>
        <source>删除当前测点</source>
        <translation>Delete station</translation>
    </message>
    <message>
        <source>新测线</source>
        <translation>New line</translation>
    </message>
    <message>
        <source>切换数据类型</source>
        <translation>Switch data type</translation>
    </message>
    <message>
        <source>插入一行</source>
        <translation>Insert row</translation>
    </message>
    <message>
        <source>删除该行</source>
        <translation>Delete row</translation>
    </message>
    <message>
        <source>清除数据</source>
        <translation>Clear data</translation>
    </message>
    <message>
        <source>默认极距</source>
        <translation>Default spacings</translation>
    </message>
    <message>
        <source>选择当前输入</source>
        <translation>Choose branch</translation>
    </message>
    <message>
        <source>修改当前输入</source>
        <translation>Edit branch</translation>
    </message>
    <message>
        <source>修改测点编号</source>
        <translation>Edit station</translation>
    </message>
    <message>
        <source>修改剖面编号</source>
        <translation>Edit line</translation>
    </message>
    <message>
        <source>修改测区</source>
        <translation>Edit area</translation>
    </message>
    <message>
        <source>修改点位x-坐标</source>
        <translation>Edit x coordinate</translation>
    </message>
    <message>
        <source>修改点位y-坐标</source>
        <translation>Edit y coordinate</translation>
    </message>
    <message>
        <source>修改操作员</source>
        <translation>Edit operator</translation>
    </message>
    <message>
        <source>修改仪器类型</source>
        <translation>Edit instrument</translation>
    </message>
    <message>
        <source>修改极距个数</source>
        <translation>Edit number of spacings</translation>
    </message>
    <message>
        <source>修改测点个数</source>
        <translation>Edit number of points</translation>
    </message>
    <message>
        <source>Karvelo提示</source>
        <translation>Karvelo note</translation>
    </message>
    <message>
        <source>插入</source>
        <translation>inserting</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>updating</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>清空单元格</source>
        <translation>Clear cells</translation>
    </message>
    <message>
        <source>剪贴板中没有可以粘贴的文本。</source>
        <translation>The clipboard holds no text to paste.</translation>
    </message>
    <message>
        <source>剪贴板中的内容不是文字，不能粘贴到表格中。</source>
        <translation>The clipboard does not hold text; it cannot be pasted into the grid.</translation>
    </message>
    <message>
        <source>导入测点</source>
        <translation>Import stations</translation>
    </message>
    <message>
        <source>文件中没有可以导入的测点。</source>
        <translation>The file holds no stations to import.</translation>
    </message>
    <message>
        <source>导入的测点没有通过检查，一个也没有加入：</source>
        <translation>The imported stations failed the checks; none was added:</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>以后保存时，文件中没有读入的部分不会写进保存的文件。</source>
        <translation>When you save later, the parts of the file that were not read will not be in the saved file.</translation>
    </message>
    <message>
        <source>保存文件</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>选择保存数据的目录...</source>
        <translation>Choose the folder for the data...</translation>
    </message>
    <message>
        <source>数据文件无法完整读取，文件未作改动，新数据没有保存。</source>
        <translation>The data file cannot be read completely; it was not changed and the new data were not saved.</translation>
    </message>
    <message>
        <source>联合剖面数据文件名必须是测线号(整数)，例如 12.dat。</source>
        <translation>A combined-profiling file name must be the line number (an integer), e.g. 12.dat.</translation>
    </message>
    <message>
        <source>内存不足，无法完成保存。数据仍在程序中，文件未作改动。</source>
        <translation>Out of memory; the save did not finish. The data are still in the program; the file was not changed.</translation>
    </message>
    <message>
        <source>分支</source>
        <translation>Branch</translation>
    </message>
    <message>
        <source>x坐标</source>
        <translation>x</translation>
    </message>
    <message>
        <source>y坐标</source>
        <translation>y</translation>
    </message>
    <message>
        <source>AB/2</source>
        <translation>AB/2</translation>
    </message>
    <message>
        <source>MN/2</source>
        <translation>MN/2</translation>
    </message>
    <message>
        <source>未知列</source>
        <translation>unknown column</translation>
    </message>
    <message>
        <source>电阻率测深</source>
        <translation>Resistivity sounding</translation>
    </message>
    <message>
        <source>电阻率找水</source>
        <translation>Sounding for water (IP)</translation>
    </message>
    <message>
        <source>四极剖面数据</source>
        <translation>Four-pole profiling</translation>
    </message>
    <message>
        <source>联合剖面法</source>
        <translation>Combined profiling</translation>
    </message>
    <message>
        <source>是空行，已跳过。</source>
        <translation>is empty, skipped.</translation>
    </message>
    <message>
        <source>要导入的单元格都是空的，已跳过。</source>
        <translation>the cells to import are all empty, skipped.</translation>
    </message>
    <message>
        <source>没有 x坐标 或 y坐标 列：各条测线按输入窗口的做法依次取 x = 0、50、100……，y = 0。</source>
        <translation>No x or y column: the lines get x = 0, 50, 100 … and y = 0, as in the input window.</translation>
    </message>
    <message>
        <source>分支是空的。</source>
        <translation>The branch is empty.</translation>
    </message>
    <message>
        <source>没有测点信息，上面也没有可以接续的测点。</source>
        <translation>No station data, and no station above to continue.</translation>
    </message>
    <message>
        <source>文件中没有任何内容。</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>没有观测值，只取了它的测点信息。</source>
        <translation>no readings; only its station data were taken.</translation>
    </message>
    <message>
        <source>文件是 UTF-16 编码（“Unicode 文本”）的，请在电子表格中另存为“CSV UTF-8（逗号分隔）”后再导入。</source>
        <translation>The file is UTF-16 (“Unicode text”). Save it as “CSV UTF-8 (comma delimited)” in the spreadsheet, then import it.</translation>
    </message>
    <message>
        <source>这是 Excel 工作簿，不是 CSV 文件：请在电子表格中另存为“CSV UTF-8（逗号分隔）”后再导入。</source>
        <translation>This is an Excel workbook, not a CSV file. Save it as “CSV UTF-8 (comma delimited)” in the spreadsheet, then import it.</translation>
    </message>
    <message>
        <source>文件中有 NUL 字节，不是文本文件。</source>
        <translation>The file holds NUL bytes; it is not a text file.</translation>
    </message>
    <message>
        <source>内存不够，文件没能读完。</source>
        <translation>Out of memory; the file was not read to the end.</translation>
    </message>
    <message>
        <source>文件是空的。</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>UTF-8（带 BOM）</source>
        <translation>UTF-8 (with BOM)</translation>
    </message>
    <message>
        <source>逗号</source>
        <translation>comma</translation>
    </message>
    <message>
        <source>分号</source>
        <translation>semicolon</translation>
    </message>
    <message>
        <source>制表符</source>
        <translation>tab</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>other</translation>
    </message>
    <message>
        <source>应是测点个数（0 或更大的整数）。</source>
        <translation>the number of stations was expected (an integer, 0 or more).</translation>
    </message>
    <message>
        <source>文件在一条记录的中间结束。</source>
        <translation>the file ends in the middle of a record.</translation>
    </message>
    <message>
        <source>这里应是整数。</source>
        <translation>an integer was expected here.</translation>
    </message>
    <message>
        <source>这里应是数字。</source>
        <translation>a number was expected here.</translation>
    </message>
    <message>
        <source>VES 测深文件</source>
        <translation>a VES sounding file</translation>
    </message>
    <message>
        <source>测深 .dat 文件</source>
        <translation>a sounding .dat file</translation>
    </message>
    <message>
        <source>对称四极剖面文件</source>
        <translation>a four-pole profiling file</translation>
    </message>
    <message>
        <source>联合剖面文件</source>
        <translation>a combined-profiling file</translation>
    </message>
    <message>
        <source>未知文件</source>
        <translation>an unknown file</translation>
    </message>
    <message>
        <source>有零字节，这是二进制文件，不是本程序的数据文件。</source>
        <translation>it holds zero bytes: a binary file, not a data file of this program.</translation>
    </message>
    <message>
        <source>没有“QL”标记，不是本程序的数据文件。</source>
        <translation>no “QL” mark: not a data file of this program.</translation>
    </message>
    <message>
        <source>不是本程序的文件用途（VES 测深、测深、对称四极剖面或联合剖面）。</source>
        <translation>not a file purpose of this program (VES sounding, sounding, four-pole or combined profiling).</translation>
    </message>
    <message>
        <source>文件只能读入一部分。</source>
        <translation>Only part of the file can be read.</translation>
    </message>
    <message>
        <source>打开文件失败。</source>
        <translation>The file could not be opened.</translation>
    </message>
    <message>
        <source>文件不存在。</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>没有读取这个文件的权限。</source>
        <translation>You have no permission to read this file.</translation>
    </message>
    <message>
        <source>这是文件夹，不是数据文件。</source>
        <translation>This is a folder, not a data file.</translation>
    </message>
    <message>
        <source>这不是普通文件（设备、管道或套接字），不能打开。</source>
        <translation>This is not a regular file (a device, pipe or socket); it cannot be opened.</translation>
    </message>
    <message>
        <source>没有选择文件。</source>
        <translation>No file was chosen.</translation>
    </message>
    <message>
        <source>没有数据可以保存。</source>
        <translation>There are no data to save.</translation>
    </message>
    <message>
        <source>文件保存失败.
非常抱歉，您的处理结果没有及时保存。</source>
        <translation>The file could not be saved.
Sorry, your work was not saved.</translation>
    </message>
    <message>
        <source>打开文件失败!
数据格式不是QL软件支持的格式.</source>
        <translation>The file could not be opened!
Its format is not one the QL software reads.</translation>
    </message>
    <message>
        <source>打开文件失败!
数据格式不是QL软件支持的VES测深文件格式.</source>
        <translation>The file could not be opened!
It is not a VES sounding file the QL software reads.</translation>
    </message>
    <message>
        <source>数据格式不正确，请检查数据文件。</source>
        <translation>The data format is wrong; check the data file.</translation>
    </message>
    <message>
        <source>数据文件极距错误.</source>
        <translation>The data file has a wrong spacing.</translation>
    </message>
    <message>
        <source>数据文件数据视电阻率错误.</source>
        <translation>The data file has a wrong apparent resistivity.</translation>
    </message>
    <message>
        <source>数据文件模型层厚度错误.</source>
        <translation>The data file has a wrong model layer thickness.</translation>
    </message>
    <message>
        <source>数据文件模型电阻率错误.</source>
        <translation>The data file has a wrong model resistivity.</translation>
    </message>
    <message>
        <source>文件正被另一个程序保存，请稍后再试。</source>
        <translation>Another program is saving the file; try again shortly.</translation>
    </message>
    <message>
        <source>文件在读取之后被另一个程序改动了，为免覆盖对方的数据，新数据没有保存。请重新保存。</source>
        <translation>Another program changed the file after it was read. To keep its data, the new data were not saved. Please save again.</translation>
    </message>
    <message>
        <source>所选名称不是普通文件(而是目录、设备、管道或指向它们的链接)，不能读写。</source>
        <translation>The name chosen is not a regular file (but a folder, device, pipe or a link to one); it cannot be read or written.</translation>
    </message>
    <message>
        <source>内存不足，无法完成文件操作。文件未作改动，新数据没有保存。</source>
        <translation>Out of memory; the file operation did not finish. The file was not changed and the new data were not saved.</translation>
    </message>
    <message>
        <source>共享目录中的这个文件名是其他用户建立的符号链接，为安全起见不经由它读写。文件未作改动。</source>
        <translation>In this shared folder the file name is a symbolic link made by another user; for safety it is not followed. The file was not changed.</translation>
    </message>
    <message>
        <source>文件是只读的，不能改写。</source>
        <translation>The file is read-only; it cannot be rewritten.</translation>
    </message>
    <message>
        <source>文件无法读取。</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>文件名中含有空字符，不能保存。</source>
        <translation>The file name holds a NUL character; it cannot be saved.</translation>
    </message>
    <message>
        <source>文件已写入，但目录未能同步到磁盘，断电时可能丢失。请重新保存。</source>
        <translation>The file was written, but its folder could not be synced to disk; it may be lost in a power failure. Please save again.</translation>
    </message>
    <message>
        <source>名称和文字中不能含有控制字符(换行、回车、制表符等)。</source>
        <translation>Names and texts cannot hold control characters (line feed, carriage return, tab ...).</translation>
    </message>
    <message>
        <source>测线名为空，不能作为文件名。</source>
        <translation>The line name is empty; it cannot be a file name.</translation>
    </message>
    <message>
        <source>测线名生成的文件名以“.”开头(隐藏文件)，请换一个测线名。</source>
        <translation>The line name makes a file name starting with “.” (a hidden file); choose another line name.</translation>
    </message>
    <message>
        <source>测线名生成的文件名是“.”或“..”，不能作为文件名。</source>
        <translation>The line name makes the file name “.” or “..”, which cannot be used.</translation>
    </message>
    <message>
        <source>测线名太长，生成的文件名超出了文件系统允许的长度。</source>
        <translation>The line name is too long; its file name exceeds what the file system allows.</translation>
    </message>
    <message>
        <source>不是联合剖面数据文件的用途说明。</source>
        <translation>not the purpose line of a combined-profiling data file.</translation>
    </message>
    <message>
        <source>不是对称四极剖面数据文件的用途说明。</source>
        <translation>not the purpose line of a four-pole profiling data file.</translation>
    </message>
    <message>
        <source>文件在此结束，缺少列标题行。</source>
        <translation>the file ends here; the column heading line is missing.</translation>
    </message>
    <message>
        <source>应是列标题行（N AB/2 MN/2 RO ...）。</source>
        <translation>the column heading line (N AB/2 MN/2 RO ...) was expected.</translation>
    </message>
    <message>
        <source>多于 12 个数。</source>
        <translation>more than 12 numbers.</translation>
    </message>
    <message>
        <source>X2 应是分支号 1 或 2。</source>
        <translation>X2 should be the branch number 1 or 2.</translation>
    </message>
    <message>
        <source>内存不足，文件没有读入。</source>
        <translation>Out of memory; the file was not read.</translation>
    </message>
    <message>
        <source>已输入%1个测点</source>
        <translation>Stations entered: %1</translation>
    </message>
    <message>
        <source>第 %1 个极距数据非法。


	请检查。</source>
        <translation>Row %1 holds a value that is not valid.


	Please check.</translation>
    </message>
    <message>
        <source>第 %1 个极距数据重复。


	请检查。</source>
        <translation>Spacing %1 is repeated.


	Please check.</translation>
    </message>
    <message>
        <source>第 %1 行，%2</source>
        <translation>Row %1, %2</translation>
    </message>
    <message>
        <source>默认极距至少要有 1 个，最多 %1 个。</source>
        <translation>There must be at least 1 and at most %1 default spacings.</translation>
    </message>
    <message>
        <source>第 %1 个默认极距“%2”不是数字。</source>
        <translation>Default spacing %1 “%2” is not a number.</translation>
    </message>
    <message>
        <source>第 %1 个默认极距不在 0 到 10000 之间。</source>
        <translation>Default spacing %1 is not between 0 and 10000.</translation>
    </message>
    <message>
        <source>第 %1 个默认极距没有比前一个大 0.1 以上：极距应从小到大排列。</source>
        <translation>Default spacing %1 is not more than 0.1 above the one before: spacings go from smallest to largest.</translation>
    </message>
    <message>
        <source>%1中有不能保存到数据文件的字符，请修改后再%2。</source>
        <translation>%1 holds characters that cannot be saved in a data file; correct it before %2.</translation>
    </message>
    <message>
        <source>是否删除当前测点 %1 (x=%2)?</source>
        <translation>Delete the current station %1 (x=%2)?</translation>
    </message>
    <message>
        <source>粘贴这些数据需要 %1 行，超过了本数据类型最多 %2 行的限制，没有粘贴。</source>
        <translation>Pasting these data needs %1 rows, more than the %2 rows this data type allows; nothing was pasted.</translation>
    </message>
    <message>
        <source>有 %1 个单元格落在序号列或最后一列之外，没有粘贴。</source>
        <translation>Cells on the row-number column or beyond the last column: %1; they were not pasted.</translation>
    </message>
    <message>
        <source>……另有 %1 个问题。</source>
        <translation>… and %1 more problems.</translation>
    </message>
    <message>
        <source>数据文件中有 %1 条记录不符合测深数据要求(|N|&gt;10000、视电阻率≤0 或 AB/2&lt;0.1)，追加保存后文件中将不再有这些记录。

是否继续保存?</source>
        <translation>The data file has %1 records outside the sounding format (|N|&gt;10000, resistivity ≤0 or AB/2&lt;0.1); after appending they will no longer be in the file.

Save anyway?</translation>
    </message>
    <message>
        <source>文件 %1 已经存在，是否用当前测线的数据替换它?</source>
        <translation>The file %1 exists. Replace it with the current line&apos;s data?</translation>
    </message>
    <message>
        <source>测线 %1：%2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>保存文件%1
失败.
非常抱歉，您的处理结果没有及时保存。</source>
        <translation>Saving the file %1
failed.
Sorry, your work was not saved.</translation>
    </message>
    <message>
        <source>文件大于 %1，超出允许读取的大小，未读取。</source>
        <translation>The file is larger than %1, the most that is read; it was not read.</translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>恢复文件的版本是 %1，本程序只能读版本 %2。</source>
        <translation>The recovery file has version %1; this program reads only version %2.</translation>
    </message>
    <message>
        <source>文件不完整：应有 %1 字节，只有 %2 字节。</source>
        <translation>The file is incomplete: it should have %1 bytes but has %2.</translation>
    </message>
    <message>
        <source>文件末尾多出 %1 字节。</source>
        <translation>The file has %1 extra bytes at its end.</translation>
    </message>
    <message>
        <source>文件不能读取：%1</source>
        <translation>The file cannot be read: %1</translation>
    </message>
    <message>
        <source>%1 个测点</source>
        <translation>stations: %1</translation>
    </message>
    <message>
        <source>%1 条测线（共 %2 个点）</source>
        <translation>lines: %1 (points: %2)</translation>
    </message>
    <message>
        <source>%1 个分支（共 %2 个点）</source>
        <translation>branches: %1 (points: %2)</translation>
    </message>
    <message>
        <source>文件“%1”：%2</source>
        <translation>File “%1”: %2</translation>
    </message>
    <message>
        <source>第 %1 行。</source>
        <translation>Line %1.</translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>文件不能打开：%1</source>
        <translation>The file cannot be opened: %1</translation>
    </message>
    <message>
        <source>读取文件失败：%1</source>
        <translation>Reading the file failed: %1</translation>
    </message>
    <message>
        <source>文件大于 %1 MB，不是本程序的数据文件。</source>
        <translation>The file is larger than %1 MB; it is not a data file of this program.</translation>
    </message>
    <message>
        <source>这是%1。几个文件一起打开时，每个都应是对称四极剖面文件。</source>
        <translation>this is %1. When several files are opened together, each must be a four-pole profiling file.</translation>
    </message>
    <message>
        <source>文件第 3 行说有 %1 个测点，其后却还有数据。</source>
        <translation>line 3 of the file says %1 stations, yet data follow them.</translation>
    </message>
    <message>
        <source>第 %1 个测点的极距或模型层多于 200 个。</source>
        <translation>station %1 has more than 200 spacings or model layers.</translation>
    </message>
    <message>
        <source>文件在第 %1 个测点的数据中结束（文件第 3 行说有 %2 个测点）。</source>
        <translation>the file ends inside the data of station %1 (line 3 of the file says %2 stations).</translation>
    </message>
    <message>
        <source>第 %1 个测点的数据有误：这里应是数字。</source>
        <translation>the data of station %1 are wrong: a number was expected here.</translation>
    </message>
    <message>
        <source>从这一行起，有 %1 条记录超出格式的范围（|N| &gt; 10000、RO ≤ 0 或 AB/2 &lt; 0.1），读不进来。</source>
        <translation>from this line on, %1 records are outside the format&apos;s ranges (|N| &gt; 10000, RO ≤ 0 or AB/2 &lt; 0.1) and cannot be read.</translation>
    </message>
    <message>
        <source>是否打开已经读到的 %1？</source>
        <translation>Open what was read so far (%1)?</translation>
    </message>
    <message>
        <source>应有 12 个数，却只有 %1 个。</source>
        <translation>12 numbers were expected, but there are only %1.</translation>
    </message>
    <message>
        <source>%1 不是数字。</source>
        <translation>%1 is not a number.</translation>
    </message>
    <message>
        <source>%1 应是 -9999（本文件不存此项）。</source>
        <translation>%1 should be -9999 (this file does not hold it).</translation>
    </message>
    <message>
        <source>一条测线或一个分支最多 %1 个点。</source>
        <translation>A line or a branch has at most %1 points.</translation>
    </message>
    <message>
        <source>没有可绘制的数据</source>
        <translation>Nothing to plot</translation>
    </message>
    <message>
        <source>正在读取文件…</source>
        <translation>Reading the file…</translation>
    </message>
    <message>
        <source>正在保存文件…</source>
        <translation>Saving the file…</translation>
    </message>
    <message>
        <source>测点编号或剖面编号</source>
        <translation>Station or Profile</translation>
    </message>
    <message>
        <source>第 %1 列和第 %2 列都是“%3”</source>
        <translation>columns %1 and %2 are both “%3”</translation>
    </message>
    <message>
        <source>第 %1 行：表头%2。每一列只能出现一次。</source>
        <translation>Line %1: in the header, %2. Each column may appear only once.</translation>
    </message>
    <message>
        <source>第 %1 行：表头既有激电参数列（%2）又有剖面的列（%3），看不出是哪一种数据。</source>
        <translation>Line %1: the header has both induced-polarisation columns (%2) and profiling columns (%3); the kind of data cannot be told.</translation>
    </message>
    <message>
        <source>第 %1 行：应是表头，却没有认出一个观测值的列。第一行要写明各列的名字，例如：测点编号、x坐标、y坐标、AB/2、视电阻率（找水数据再加 综合激电参数、半衰时、衰减度、偏离度、视极化率；剖面数据用 剖面编号、点号、AB/2、MN/2、视电阻率）。</source>
        <translation>Line %1: this should be the header, but no column of readings was recognised. The first line must name the columns, for example: Station, x, y, AB/2, App. resistivity (water-finding data also: IP parameter ZP, Half-decay time, Decay, Deviation, App. chargeability; profiling data: Profile, Point, AB/2, MN/2, App. resistivity). English names such as station, x, y, AB/2, rho are understood too.</translation>
    </message>
    <message>
        <source>第 %1 行：按表头这是“%2”的数据，缺少必需的列：%3。</source>
        <translation>Line %1: by its header this is “%2” data, but required columns are missing: %3.</translation>
    </message>
    <message>
        <source>第 %1 行：无法确定文件的编码：“%2”按 UTF-8 读是这样，按 GBK 读是“%3”。请选择按哪一种编码读取。</source>
        <translation>Line %1: the file&apos;s encoding cannot be determined: read as UTF-8 it says “%2”, read as GBK it says “%3”. Please choose the encoding to read it with.</translation>
    </message>
    <message>
        <source>第 %1 行：引号用得不对：带引号的单元格里的引号要写成两个（&quot;&quot;），右引号后面不能再跟文字，没有引号的单元格里不能有引号。从这一行起无法再读下去。</source>
        <translation>Line %1: quotes are used wrongly: a quote inside a quoted cell must be doubled (&quot;&quot;), no text may follow a closing quote, and a cell without quotes may not contain one. The file cannot be read on from this line.</translation>
    </message>
    <message>
        <source>第 %1 行：有一个引号直到文件末尾都没有对应的右引号。</source>
        <translation>Line %1: a quote has no closing quote up to the end of the file.</translation>
    </message>
    <message>
        <source>文件只有表头（第 %1 行），没有数据。</source>
        <translation>The file has only the header (line %1), no data.</translation>
    </message>
    <message>
        <source>无法打开文件 %1：%2</source>
        <translation>Cannot open the file %1: %2</translation>
    </message>
    <message>
        <source>有 %1 个单元格，比表头的 %2 列多。</source>
        <translation>has %1 cells, more than the %2 columns of the header.</translation>
    </message>
    <message>
        <source>有 %1 个单元格，比表头的 %2 列多。是不是数字里用了逗号作小数点？逗号分隔的文件里小数点要用“.”。</source>
        <translation>has %1 cells, more than the %2 columns of the header. Was a comma used as the decimal point? In a comma-separated file the decimal point must be “.”.</translation>
    </message>
    <message>
        <source>只有 %1 个单元格，表头有 %2 列，“%3”等列缺了。</source>
        <translation>has only %1 cells while the header has %2 columns; “%3” and the columns after it are missing.</translation>
    </message>
    <message>
        <source>%1“%2”不是数字。</source>
        <translation>%1 “%2” is not a number.</translation>
    </message>
    <message>
        <source>%1“%2”不是数字：逗号分隔的文件里小数点要用“.”。</source>
        <translation>%1 “%2” is not a number: in a comma-separated file the decimal point must be “.”.</translation>
    </message>
    <message>
        <source>%1“%2”不是数字：数字里不要用千位分隔符。</source>
        <translation>%1 “%2” is not a number: do not use thousands separators in numbers.</translation>
    </message>
    <message>
        <source>%1是空的。</source>
        <translation>%1 is empty.</translation>
    </message>
    <message>
        <source>%1中有换行：数据文件的一行容不下它。</source>
        <translation>%1 contains a line break: it does not fit on one line of the data file.</translation>
    </message>
    <message>
        <source>%1“%2”中有不是 GBK 文字的字节。</source>
        <translation>%1 “%2” contains bytes that are not GBK text.</translation>
    </message>
    <message>
        <source>%1“%2”中有不是 UTF-8 文字的字节（混进了 GBK 编码的文字？）。</source>
        <translation>%1 “%2” contains bytes that are not UTF-8 text (GBK-encoded text mixed in?).</translation>
    </message>
    <message>
        <source>%1“%2”中有替换字符“�”：原来的文字已经丢失了（GBK 编码的文件被当作 UTF-8 打开后又保存过？）。</source>
        <translation>%1 “%2” contains the replacement character “�”: the original text has been lost (was a GBK file opened as UTF-8 and saved again?).</translation>
    </message>
    <message>
        <source>%1“%2”中有 GBK 容不下的字符，数据文件存不下它。</source>
        <translation>%1 “%2” contains characters that GBK cannot hold; the data file cannot store it.</translation>
    </message>
    <message>
        <source>%1“%2”中有 GBK 容不下的字符，数据文件存不下它。这个文件也可以按 GBK 编码来读，请改按 GBK 重新预览。</source>
        <translation>%1 “%2” contains characters that GBK cannot hold; the data file cannot store it. This file can also be read as GBK: please preview it again as GBK.</translation>
    </message>
    <message>
        <source>分支“%1”应是 A 或 B。</source>
        <translation>The branch “%1” should be A or B.</translation>
    </message>
    <message>
        <source>%1“%2”与同一测点第 %3 行的“%4”不一样。</source>
        <translation>%1 “%2” differs from “%4” on line %3 of the same station.</translation>
    </message>
    <message>
        <source>与表头（第 %1 行）一样：表头重复了？</source>
        <translation>is the same as the header (line %1): a repeated header?</translation>
    </message>
    <message>
        <source>没有测点信息，接续的是第 %1 行的测点，而那一行被拒绝了。</source>
        <translation>has no station details and continues the station of line %1, which was refused.</translation>
    </message>
    <message>
        <source>测点“%1”有 %2 个极距，一个测深点最多 %3 个。</source>
        <translation>Station “%1” has %2 spacings; a sounding station has at most %3.</translation>
    </message>
    <message>
        <source>测线“%1”有 %2 个测点，一条测线最多 %3 个。</source>
        <translation>Line “%1” has %2 points; a line has at most %3.</translation>
    </message>
    <message>
        <source>测点“%1”第 %2 个读数的 AB/2 是 %3，不合法：要大于 0、不超过 10000。</source>
        <translation>Station “%1”, reading %2: AB/2 is %3, which is not valid: it must be greater than 0 and at most 10000.</translation>
    </message>
    <message>
        <source>测点“%1”第 %2 个读数的 视电阻率 是 %3，不合法：要大于 0、不超过 50000。</source>
        <translation>Station “%1”, reading %2: the apparent resistivity is %3, which is not valid: it must be greater than 0 and at most 50000.</translation>
    </message>
    <message>
        <source>测点“%1”第 %2 个读数的 视电阻率缺了，不合法：要大于 0、不超过 50000。</source>
        <translation>Station “%1”, reading %2: the apparent resistivity is missing; it must be greater than 0 and at most 50000.</translation>
    </message>
    <message>
        <source>测线“%1”第 %2 个读数的 点号 是 %3，不合法：要大于 0、不超过 10000。</source>
        <translation>Line “%1”, reading %2: the point number is %3, which is not valid: it must be greater than 0 and at most 10000.</translation>
    </message>
    <message>
        <source>测线“%1”第 %2 个读数的 AB/2 是 %3，不合法：要大于 0、不超过 50000。</source>
        <translation>Line “%1”, reading %2: AB/2 is %3, which is not valid: it must be greater than 0 and at most 50000.</translation>
    </message>
    <message>
        <source>测线“%1”第 %2 个读数的 AB/2缺了，不合法：要大于 0、不超过 50000。</source>
        <translation>Line “%1”, reading %2: AB/2 is missing; it must be greater than 0 and at most 50000.</translation>
    </message>
    <message>
        <source>测点“%1”第 %2 个读数的 AB/2 %3 与第 %4 行的 %5 相差不到 0.1，极距重复了。</source>
        <translation>Station “%1”, reading %2: AB/2 %3 differs by less than 0.1 from %5 on line %4: a repeated spacing.</translation>
    </message>
    <message>
        <source>测点“%1”第 %2 个读数的 AB/2 %3 与第 %4 个读数的 %5 相差不到 0.1，极距重复了。</source>
        <translation>Station “%1”, reading %2: AB/2 %3 differs by less than 0.1 from %5 of reading %4: a repeated spacing.</translation>
    </message>
    <message>
        <source>测线“%1”第 %2 个读数的 点号 %3 与第 %4 行的 %5 相差不到 0.1，点号重复了。</source>
        <translation>Line “%1”, reading %2: point %3 differs by less than 0.1 from %5 on line %4: a repeated point.</translation>
    </message>
    <message>
        <source>测线“%1”第 %2 个读数的 点号 %3 与第 %4 个读数的 %5 相差不到 0.1，点号重复了。</source>
        <translation>Line “%1”, reading %2: point %3 differs by less than 0.1 from %5 of reading %4: a repeated point.</translation>
    </message>
    <message>
        <source>一条联合剖面测线最多 %1 个分支，已经满了，分支“%2”加不进去。</source>
        <translation>A combined-profiling line has at most %1 branches and it is full; the branch “%2” cannot be added.</translation>
    </message>
    <message>
        <source>测点“%1”与已输入的测点“%2”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。</source>
        <translation>Station “%1” has the same coordinates as the station “%2” already entered (x and y both differ by less than 0.1); please change the station number or the coordinates.</translation>
    </message>
    <message>
        <source>测点“%1”与第 %2 行的测点“%3”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。</source>
        <translation>Station “%1” has the same coordinates as the station “%3” on line %2 (x and y both differ by less than 0.1); please change the station number or the coordinates.</translation>
    </message>
    <message>
        <source>测点“%1”与导入的测点“%2”坐标一样（x、y 都相差不到 0.1），请更改点号或坐标。</source>
        <translation>Station “%1” has the same coordinates as the imported station “%2” (x and y both differ by less than 0.1); please change the station number or the coordinates.</translation>
    </message>
    <message>
        <source>%1、%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1、%2、%3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message>
        <source>%1、%2、%3、%4</source>
        <translation>%1, %2, %3, %4</translation>
    </message>
    <message>
        <source>%1、%2、%3、%4、%5</source>
        <translation>%1, %2, %3, %4, %5</translation>
    </message>
    <message>
        <source>%1、%2、%3、%4、%5、%6</source>
        <translation>%1, %2, %3, %4, %5, %6</translation>
    </message>
    <message>
        <source>第 %1 行：第 %2 列“%3”在联合剖面数据中不用（分支就是它的名字），这一列不导入。</source>
        <translation>Line %1: column %2 “%3” is not used in combined-profiling data (the branch is its name); this column is not imported.</translation>
    </message>
    <message>
        <source>第 %1 行：第 %2 列“%3”不是认识的列名，这一列不导入。</source>
        <translation>Line %1: column %2 “%3” is not a known column name; this column is not imported.</translation>
    </message>
    <message>
        <source>第 %1 行：第 %2 列没有列名，其中的数据不导入。</source>
        <translation>Line %1: column %2 has no name; its data are not imported.</translation>
    </message>
    <message>
        <source>要粘贴的文字中，逗号可能是小数点（1,5 即 1.5），也可能分隔单元格（1,5 是 1 和 5 两个单元格）。

逗号是小数点吗？
是：逗号是小数点，单元格之间用空格分隔。
否：逗号分隔单元格。
取消：不粘贴。</source>
        <translation>In the text to paste, a comma may be a decimal point (1,5 is 1.5) or separate cells (1,5 is the two cells 1 and 5).

Is the comma a decimal point?
Yes: commas are decimal points, blanks separate the cells.
No: commas separate the cells.
Cancel: paste nothing.</translation>
    </message>
    <message>
        <source>一个文件只能保存一条测线。请修改测线号后再保存；没有写入任何文件。</source>
        <translation>A file can hold only one line. Change the line number and save again; no file was written.</translation>
    </message>
    <message>
        <source>文件中有测点的读数多于 200 个，已全部读入。别的读 .ves 文件的程序可能只读每个测点的前 200 个读数。</source>
        <translation>The file has stations with more than 200 readings; all of them were read. Other programs that read .ves files may read only the first 200 readings of each station.</translation>
    </message>
    <message>
        <source>测点 %1 将有多于 200 个读数。别的读 .ves 文件的程序可能只读每个测点的前 200 个读数。

是否继续保存?</source>
        <translation>Station %1 will have more than 200 readings. Other programs that read .ves files may read only the first 200 readings of each station.

Save anyway?</translation>
    </message>
    <message>
        <source>测线“%1”和测线“%2”都会保存为文件 %3。</source>
        <translation>Lines “%1” and “%2” would both be saved as the file %3.</translation>
    </message>
    <message>
        <source>%1中有控制字符（如 ESC、BEL、制表符、DEL），数据文件存不下它。</source>
        <translation>%1 holds a control character (such as ESC, BEL, tab or DEL), which a data file cannot hold.</translation>
    </message>
    <message>
        <source>有读数的 AB/2 或视电阻率不是正数，不能拟合。</source>
        <translation>A reading&apos;s AB/2 or apparent resistivity is not a positive number; the sounding cannot be fitted.</translation>
    </message>
    <message>
        <source>有读数的 MN/2 不在 0 和 AB/2 之间，不能拟合。</source>
        <translation>A reading&apos;s MN/2 does not lie between 0 and AB/2; the sounding cannot be fitted.</translation>
    </message>
    <message>
        <source>不同的 AB/2 少于 3 个，不能拟合。</source>
        <translation>Fewer than 3 different AB/2; the sounding cannot be fitted.</translation>
    </message>
    <message>
        <source>读数的个数少于模型待定参数的个数，不能拟合：请减少层数或给定更多参数。</source>
        <translation>Fewer readings than unknown model parameters; the sounding cannot be fitted: use fewer layers or give more parameters.</translation>
    </message>
    <message>
        <source>层数应为 1 到 6（0 表示自动选择层数）。</source>
        <translation>The number of layers must be 1 to 6 (0 chooses it automatically).</translation>
    </message>
    <message>
        <source>读数的相对误差应为正数；逐个给出时，个数应与读数相同。</source>
        <translation>The relative errors of the readings must be positive; given one by one, there must be one per reading.</translation>
    </message>
    <message>
        <source>已知参数或参数范围有误：数值应为正数，下限不大于上限，已知值在范围之内，已知深度自上而下增大，同一层不能既给厚度又给深度，给定的层不能深于模型的基底。</source>
        <translation>The known parameters or parameter ranges are wrong: values must be positive, a lower limit not above the upper one, a known value within its range, known depths increasing downwards; a layer cannot have both a thickness and a depth, and no given layer may lie below the model&apos;s basement.</translation>
    </message>
    <message>
        <source>起始模型有误：层数应为 1 到 6，电阻率和厚度应为正数。</source>
        <translation>The start model is wrong: it must have 1 to 6 layers, and positive resistivities and thicknesses.</translation>
    </message>
    <message>
        <source>拟合失败：模型的视电阻率算不出来。</source>
        <translation>The fit failed: the apparent resistivity of the model could not be computed.</translation>
    </message>
    <message>
        <source>模型视电阻率</source>
        <translation>model apparent resistivity</translation>
    </message>
    <message>
        <source>残差</source>
        <translation>residual</translation>
    </message>
    <message>
        <source>从这一行起是模型表，不导入。</source>
        <translation>The table of models begins in this line; it is not imported.</translation>
    </message>
    <message>
        <source>只能给出一个命令：--fit 或 --export-csv。</source>
        <translation>Give one command only: --fit or --export-csv.</translation>
    </message>
    <message>
        <source>缺少输出文件：请用 -o 给出。</source>
        <translation>No output file: give it with -o.</translation>
    </message>
    <message>
        <source>--layers 和 --error 只用于 --fit。</source>
        <translation>--layers and --error are for --fit only.</translation>
    </message>
    <message>
        <source>用法见 fieldinput --help。</source>
        <translation>See fieldinput --help for how to use it.</translation>
    </message>
    <message>
        <source>文件中没有测点，没有导出。</source>
        <translation>The file holds no station; nothing was exported.</translation>
    </message>
    <message>
        <source>内存不足，命令没有完成，没有写出文件。</source>
        <translation>Out of memory: the command was not completed and no file was written.</translation>
    </message>
    <message>
        <source>这不是 VES 测深文件：只能拟合 .ves 文件的测点。</source>
        <translation>This is not a VES sounding file: only the stations of a .ves file can be fitted.</translation>
    </message>
    <message>
        <source>选项 %1 后面缺少值。</source>
        <translation>The option %1 needs a value after it.</translation>
    </message>
    <message>
        <source>--layers 应是 1 到 %2 的整数或 auto，不是“%1”。</source>
        <translation>--layers takes a whole number from 1 to %2 or auto, not “%1”.</translation>
    </message>
    <message>
        <source>--error 应是大于 0、不超过 100 的百分数，不是“%1”。</source>
        <translation>--error takes a percentage above 0 and at most 100, not “%1”.</translation>
    </message>
    <message>
        <source>不认识的选项：%1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Argument too many: %1</translation>
    </message>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
    <message>
        <source>文件“%1”中有不是 GBK 编码的文字，没有导出：%2</source>
        <translation>File “%1” holds text that is not GBK; nothing was exported: %2</translation>
    </message>
    <message>
        <source>测点“%1”没有拟合，保留原来的模型：%2</source>
        <translation>Station “%1” was not fitted and keeps its model: %2</translation>
    </message>
    <message>
        <source>测点的层状模型不对。</source>
        <translation>A station&apos;s layered model is wrong.</translation>
    </message>
    <message>
        <source>正在输入的测点还没有插入，离开后它的读数将丢失。是否先插入该测点?</source>
        <translation>The station being typed has not been inserted; its readings will be lost if you leave it. Insert the station first?</translation>
    </message>
    <message>
        <source>联合剖面数据文件(*.dat)|*.dat</source>
        <translation>Combined profiling data (*.dat)|*.dat</translation>
    </message>
    <message>
        <source>显示测点</source>
        <translation>Show station</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>是注释行，已跳过。</source>
        <translation>is a comment line, skipped.</translation>
    </message>
    <message>
        <source>在表头之上，不是表头，已跳过。</source>
        <translation>stands above the header and is not one, skipped.</translation>
    </message>
    <message>
        <source>第 %1 行：选定的“%2”数据缺少必需的列：%3。</source>
        <translation>Line %1: the chosen type “%2” needs columns the file lacks: %3.</translation>
    </message>
    <message>
        <source>第 %1 行：第 %2 列“%3”不属于%4数据，这一列不导入。</source>
        <translation>Line %1: column %2 “%3” is not part of %4 data; this column is not imported.</translation>
    </message>
    <message>
        <source>接受模型</source>
        <translation>Accept model</translation>
    </message>
    <message>
        <source>修改模型</source>
        <translation>Edit model</translation>
    </message>
    <message>
        <source>清除模型</source>
        <translation>Clear model</translation>
    </message>
    <message>
        <source>拟合全部测点</source>
        <translation>Fit all stations</translation>
    </message>
    <message>
        <source>正在拟合测点的层状模型…</source>
        <translation>Fitting the stations&apos; layered models…</translation>
    </message>
    <message>
        <source>以下测点没有拟合：</source>
        <translation>These stations were not fitted:</translation>
    </message>
</context>
</TS>
