<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AnalysisLabels</name>
    <message>
        <source>%1到%2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>%1的标准差应为不小于0的有限数，而不是%2</source>
        <translation>The standard deviation of %1 must be a finite number not below 0, not %2</translation>
    </message>
    <message>
        <source>%1的块体取值%2不在%3之间</source>
        <translation>The block value %2 of %1 is not between %3</translation>
    </message>
    <message>
        <source>%1的范围应由有限的下限和上限组成，下限不大于上限，且两者相差小于1e150</source>
        <translation>The range of %1 needs finite lower and upper bounds, the lower not above the upper, less than 1e150 apart</translation>
    </message>
    <message>
        <source>%1的范围%2～%3超出了%4</source>
        <translation>The range %2 to %3 of %1 goes beyond %4</translation>
    </message>
    <message>
        <source>%1有上限或可取负值，不能用%2</source>
        <translation>%1 has an upper bound or may be negative: it cannot take a %2</translation>
    </message>
    <message>
        <source>%1的块体取值为%2，%3要求大于0</source>
        <translation>The block value of %1 is %2; a %3 needs a value above 0</translation>
    </message>
    <message>
        <source>%1的块体取值%2不在%3的下限%4和上限%5之间</source>
        <translation>The block value %2 of %1 is not between the %3&apos;s lower bound %4 and upper bound %5</translation>
    </message>
    <message>
        <source>%1的贝塔分布在%2～%3之间、均值为块体取值时，标准差应小于%4，而不是%5</source>
        <translation>For a beta distribution of %1 between %2 and %3 with the block value as mean, the standard deviation must be below %4, not %5</translation>
    </message>
    <message>
        <source>%1的贝塔分布在%2～%3之间、标准差为%4时过窄（形状参数超过1e8），请缩小范围或改用正态分布</source>
        <translation>A beta distribution of %1 between %2 and %3 with a standard deviation of %4 is too narrow (its shape parameters pass 1e8): narrow the range or use a normal distribution</translation>
    </message>
    <message>
        <source>%1的截断范围%2～%3内没有可抽取的值</source>
        <translation>The truncation %2 to %3 of %1 leaves no value to draw</translation>
    </message>
    <message>
        <source>本块体的水压力由水的容重和坡高计算，%1不能单独变化</source>
        <translation>This block&apos;s water pressures are computed from the unit weight of water and the slope height: %1 cannot vary on its own</translation>
    </message>
    <message>
        <source>%1的取值%2不在%3之间</source>
        <translation>The value %2 of %1 is not between %3</translation>
    </message>
    <message>
        <source>本块体没有张裂缝，%1不能变化</source>
        <translation>This block has no tension crack: %1 cannot vary</translation>
    </message>
    <message>
        <source>本块体没有外力，%1不能变化</source>
        <translation>This block has no external force: %1 cannot vary</translation>
    </message>
    <message>
        <source>本块体没有锚杆，%1不能变化</source>
        <translation>This block has no bolt: %1 cannot vary</translation>
    </message>
    <message>
        <source>荷载中没有给出%1，它不能变化</source>
        <translation>The loads give no %1: it cannot vary</translation>
    </message>
    <message>
        <source>%1的标准差%2过大，抽样值会溢出</source>
        <translation>The standard deviation %2 of %1 is too large: the samples would overflow</translation>
    </message>
</context>
<context>
    <name>CoreTexts</name>
    <message>
        <source>第一切割面</source>
        <translation>Plane 1</translation>
    </message>
    <message>
        <source>第二切割面</source>
        <translation>Plane 2</translation>
    </message>
    <message>
        <source>坡顶面</source>
        <translation>Slope top</translation>
    </message>
    <message>
        <source>坡面</source>
        <translation>Slope face</translation>
    </message>
    <message>
        <source>Kc（楔块按坡顶面水平于坡高处归一化计算）</source>
        <translation>Kc (wedge normalised to a horizontal slope top at the slope height)</translation>
    </message>
    <message>
        <source>Fs（实际楔块，矢量法，含张裂缝、荷载与支护）</source>
        <translation>Fs (real wedge, vector method, with tension crack, loads and support)</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>PictureCommands</name>
    <message>
        <source>赤平投影</source>
        <translation>Stereonet</translation>
    </message>
    <message>
        <source>三维视图</source>
        <translation>3D View</translation>
    </message>
    <message>
        <source>可靠度分析</source>
        <translation>Probabilistic Analysis</translation>
    </message>
    <message>
        <source>敏感性分析</source>
        <translation>Sensitivity Analysis</translation>
    </message>
    <message>
        <source>图形分析</source>
        <translation>Pictures</translation>
    </message>
</context>
<context>
    <name>PictureFile</name>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>SVG 矢量图 (*.svg)</source>
        <translation>SVG vector image (*.svg)</translation>
    </message>
    <message>
        <source>保存图片</source>
        <translation>Save Picture</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>结构面统计与组合</source>
        <translation>Joint Statistics and Combinations</translation>
    </message>
    <message>
        <source>荷载与支护</source>
        <translation>Loads and Support</translation>
    </message>
</context>
<context>
    <name>ReportCommand</name>
    <message>
        <source>生成计算书</source>
        <translation>Report</translation>
    </message>
</context>
<context>
    <name>ReportView</name>
    <message>
        <source>第一部分：楔块的地质参数</source>
        <translation>Part 1: the wedge's planes</translation>
    </message>
    <message>
        <source>第二部分：楔块的物理力学参数</source>
        <translation>Part 2: the wedge's physical and mechanical parameters</translation>
    </message>
    <message>
        <source>第三部分：楔块稳定分析结果</source>
        <translation>Part 3: results of the stability analysis</translation>
    </message>
    <message>
        <source>楔块的高度</source>
        <translation>Height of the wedge</translation>
    </message>
    <message>
        <source>第一结构面的f值</source>
        <translation>f of plane 1</translation>
    </message>
    <message>
        <source>第一结构面的c值</source>
        <translation>c of plane 1</translation>
    </message>
    <message>
        <source>第二结构面的f值</source>
        <translation>f of plane 2</translation>
    </message>
    <message>
        <source>第二结构面的c值</source>
        <translation>c of plane 2</translation>
    </message>
    <message>
        <source>岩石的容重r</source>
        <translation>Unit weight of rock r</translation>
    </message>
    <message>
        <source>水的容重r</source>
        <translation>Unit weight of water r</translation>
    </message>
    <message>
        <source>楔块的体积</source>
        <translation>Volume of the wedge</translation>
    </message>
    <message>
        <source>交线的倾角</source>
        <translation>Plunge of the line of intersection</translation>
    </message>
    <message>
        <source>楔块的稳定安全系数</source>
        <translation>Safety factor of the wedge</translation>
    </message>
    <message>
        <source>%1倾角及倾向角</source>
        <translation>%1 dip and dip direction</translation>
    </message>
    <message>
        <source>%1走向及倾向角</source>
        <translation>%1 strike and dip</translation>
    </message>
    <message>
        <source> 楔块%1稳定分析导出文件 </source>
        <translation> Stability analysis of wedge %1 </translation>
    </message>
</context>
<context>
    <name>Schematic</name>
    <message>
        <source>走向角</source>
        <translation>strike angle</translation>
    </message>
    <message>
        <source>倾向角</source>
        <translation>dip direction angle</translation>
    </message>
    <message>
        <source>倾向</source>
        <translation>dip direction</translation>
    </message>
    <message>
        <source>走向</source>
        <translation>strike</translation>
    </message>
</context>
<context>
    <name>ViewedBlock</name>
    <message>
        <source>；图中为四个角点围成的四面体</source>
        <translation>; the picture shows the tetrahedron of the four corners</translation>
    </message>
    <message>
        <source>楔块名称：（尚未确认块体）</source>
        <translation>Wedge: (no block confirmed yet)</translation>
    </message>
    <message>
        <source>楔块名称：</source>
        <translation>Wedge: </translation>
    </message>
</context>
<context>
    <name>Workspace</name>
    <message>
        <source>当前块体数据已修改，是否放弃修改并载入“%1”？</source>
        <translation>The current block has unsaved changes. Discard them and load &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>数据文件的两种产状不一致，已按文件载入，请核对后重新确认：</source>
        <translation>The data file&apos;s two forms of the attitudes disagree; it was loaded as written. Check the planes and confirm them again:</translation>
    </message>
    <message>
        <source>已保存：</source>
        <translation>Saved: </translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>没有找到可以打开报告的文本查看程序（%1），请手动打开：%2</source>
        <translation>No text viewer (%1) was found to open the report; open it yourself: %2</translation>
    </message>
    <message>
        <source>请输入或选择块体名称</source>
        <translation>Enter or choose a block name</translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
    <message>
        <source>%1（分析报告文件夹）</source>
        <translation>%1 (report folder)</translation>
    </message>
    <message>
        <source>%1（数据文件文件夹）</source>
        <translation>%1 (data folder)</translation>
    </message>
</context>
<context>
    <name>trelmox::app::TForm1</name>
    <message>
        <source>边坡稳定分析程序</source>
        <translation>Slope Stability</translation>
    </message>
    <message>
        <source>结构面数据输入</source>
        <translation>Plane Data</translation>
    </message>
    <message>
        <source>物理力学参数输入</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>生成dxf文件</source>
        <translation>Write DXF File</translation>
    </message>
    <message>
        <source>运算、分析</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>适用于局部稳定分析、计算</source>
        <translation>For the stability analysis of local rock wedges</translation>
    </message>
    <message>
        <source>文件夹：</source>
        <translation>Folder: </translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>界面语言已设为 English，重新启动程序后生效。</source>
        <translation>The interface language is set to English. It applies when the program starts again.</translation>
    </message>
    <message>
        <source>界面语言已设为中文，重新启动程序后生效。</source>
        <translation>The interface language is set to Chinese. It applies when the program starts again.</translation>
    </message>
    <message>
        <source>块体数据有未保存的修改，退出前是否保存？</source>
        <translation>The block has unsaved changes. Save them before quitting?</translation>
    </message>
</context>
<context>
    <name>trelmox::ui::GuideWindow</name>
    <message>
        <source>使用指南</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>找不到使用指南（docs/README.md）。</source>
        <translation>The user guide (docs/README.md) cannot be found.</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>trelmox::ui::LoadsWindow</name>
    <message>
        <source>主动</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>被动</source>
        <translation>Passive</translation>
    </message>
    <message>
        <source>端锚锚杆</source>
        <translation>End-anchored bolt</translation>
    </message>
    <message>
        <source>全长粘结锚杆</source>
        <translation>Fully grouted bolt</translation>
    </message>
    <message>
        <source>锚索</source>
        <translation>Cable anchor</translation>
    </message>
    <message>
        <source>荷载与支护</source>
        <translation>Loads and Support</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>分析、计算</source>
        <translation>Analyse</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>力的方向：方位角自北顺时针，倾伏角向下为正；各力均过楔块形心</source>
        <translation>Force directions: trend clockwise from north, plunge positive downwards; every force acts through the wedge&apos;s centroid</translation>
    </message>
    <message>
        <source>张裂缝</source>
        <translation>Tension crack</translation>
    </message>
    <message>
        <source>倾角（°）</source>
        <translation>Dip (°)</translation>
    </message>
    <message>
        <source>倾向（°）</source>
        <translation>Dip direction (°)</translation>
    </message>
    <message>
        <source>距坡顶线水平距离</source>
        <translation>Horizontal distance from crest</translation>
    </message>
    <message>
        <source>充水深度（饱和时）</source>
        <translation>Water depth (when saturated)</translation>
    </message>
    <message>
        <source>水压力</source>
        <translation>Water pressure</translation>
    </message>
    <message>
        <source>充水百分比（%）</source>
        <translation>Percentage filled (%)</translation>
    </message>
    <message>
        <source>坡外水位（高于坡脚，m）</source>
        <translation>Pond level (above the toe, m)</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>地震力</source>
        <translation>Seismic force</translation>
    </message>
    <message>
        <source>地震系数k</source>
        <translation>Seismic coefficient k</translation>
    </message>
    <message>
        <source>方位角（°）</source>
        <translation>Trend (°)</translation>
    </message>
    <message>
        <source>倾伏角（°）</source>
        <translation>Plunge (°)</translation>
    </message>
    <message>
        <source>面压力（垂直作用于面）</source>
        <translation>Surface pressures (normal to the surface)</translation>
    </message>
    <message>
        <source>坡面压力</source>
        <translation>Pressure on slope face</translation>
    </message>
    <message>
        <source>坡顶面压力</source>
        <translation>Pressure on slope top</translation>
    </message>
    <message>
        <source>第一切割面压力</source>
        <translation>Pressure on plane 1</translation>
    </message>
    <message>
        <source>第二切割面压力</source>
        <translation>Pressure on plane 2</translation>
    </message>
    <message>
        <source>张裂缝面压力</source>
        <translation>Pressure on tension crack</translation>
    </message>
    <message>
        <source>喷射混凝土（坡面）</source>
        <translation>Shotcrete (on slope face)</translation>
    </message>
    <message>
        <source>厚度（m）</source>
        <translation>Thickness (m)</translation>
    </message>
    <message>
        <source>抗剪强度（kPa）</source>
        <translation>Shear strength (kPa)</translation>
    </message>
    <message>
        <source>容重（kN/m³）</source>
        <translation>Unit weight (kN/m³)</translation>
    </message>
    <message>
        <source>节理面抗剪强度（按平均法向应力σn）</source>
        <translation>Joint shear strength (at the mean normal stress σn)</translation>
    </message>
    <message>
        <source>莫尔-库仑（物理力学参数中的c、f）</source>
        <translation>Mohr-Coulomb (c and f of the parameters)</translation>
    </message>
    <message>
        <source>巴顿-班迪斯</source>
        <translation>Barton-Bandis</translation>
    </message>
    <message>
        <source>残余摩擦角φr（°）</source>
        <translation>Residual friction angle φr (°)</translation>
    </message>
    <message>
        <source>幂函数曲线 τ=a(σn−c)^b+d</source>
        <translation>Power curve τ=a(σn−c)^b+d</translation>
    </message>
    <message>
        <source>霍克-布朗（充填岩体）</source>
        <translation>Hoek-Brown (infilled rock mass)</translation>
    </message>
    <message>
        <source>第一切割面</source>
        <translation>Cutting plane 1</translation>
    </message>
    <message>
        <source>第二切割面</source>
        <translation>Cutting plane 2</translation>
    </message>
    <message>
        <source>模型</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>起伏角i（°）</source>
        <translation>Waviness i (°)</translation>
    </message>
    <message>
        <source>外力</source>
        <translation>External forces</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>Magnitude (kN)</translation>
    </message>
    <message>
        <source>锚杆</source>
        <translation>Bolts</translation>
    </message>
    <message>
        <source>锚固力</source>
        <translation>Force (kN)</translation>
    </message>
    <message>
        <source>方式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>承载模型</source>
        <translation>Capacity model</translation>
    </message>
    <message>
        <source>长度（m）</source>
        <translation>Length (m)</translation>
    </message>
    <message>
        <source>杆体抗拉力（kN）</source>
        <translation>Tendon capacity (kN)</translation>
    </message>
    <message>
        <source>垫板承载力（kN）</source>
        <translation>Plate capacity (kN)</translation>
    </message>
    <message>
        <source>粘结强度（kN/m）</source>
        <translation>Bond strength (kN/m)</translation>
    </message>
    <message>
        <source>增加一行</source>
        <translation>Add Row</translation>
    </message>
    <message>
        <source>删除所在行</source>
        <translation>Remove Row</translation>
    </message>
    <message>
        <source>设计要求（GB 50330-2013）</source>
        <translation>Design requirement (GB 50330-2013)</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>边坡类别</source>
        <translation>Slope class</translation>
    </message>
    <message>
        <source>所需安全系数</source>
        <translation>Required safety factor</translation>
    </message>
    <message>
        <source>给定设计锚杆方向</source>
        <translation>Given design bolt direction</translation>
    </message>
    <message>
        <source>分析结果</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>楔体尺寸（不填为不限）</source>
        <translation>Wedge size (empty: no limit)</translation>
    </message>
    <message>
        <source>坡面上的迹长（m）</source>
        <translation>Trace length on slope face (m)</translation>
    </message>
    <message>
        <source>坡顶面上的迹长（m）</source>
        <translation>Trace length on slope top (m)</translation>
    </message>
    <message>
        <source>延伸长度（m）</source>
        <translation>Persistence (m)</translation>
    </message>
    <message>
        <source>沿交线自坡面量取</source>
        <translation>Along the line of intersection from the face</translation>
    </message>
    <message>
        <source>面上两角点间的最大距离</source>
        <translation>Largest distance between two corners on the plane</translation>
    </message>
    <message>
        <source>延伸长度的量法</source>
        <translation>Persistence measured</translation>
    </message>
    <message>
        <source>边坡沿走向的长度（m）</source>
        <translation>Slope length along strike (m)</translation>
    </message>
    <message>
        <source>台阶</source>
        <translation>Bench</translation>
    </message>
    <message>
        <source>台阶高度（m）</source>
        <translation>Bench height (m)</translation>
    </message>
    <message>
        <source>台阶宽度（m）</source>
        <translation>Bench width (m)</translation>
    </message>
    <message>
        <source>最小安全平台宽度（m）</source>
        <translation>Minimum catch bench width (m)</translation>
    </message>
    <message>
        <source>楔块最小体积（m³）</source>
        <translation>Minimum wedge volume (m³)</translation>
    </message>
    <message>
        <source>楔块最小重量（kN）</source>
        <translation>Minimum wedge weight (kN)</translation>
    </message>
    <message>
        <source>楔块最小高度（m）</source>
        <translation>Minimum wedge height (m)</translation>
    </message>
    <message>
        <source>给定锚固力</source>
        <translation>Given force</translation>
    </message>
    <message>
        <source>系统锚杆（坡面网格布置）</source>
        <translation>Pattern bolting (grid on slope face)</translation>
    </message>
    <message>
        <source>沿走向间距（m）</source>
        <translation>Spacing along strike (m)</translation>
    </message>
    <message>
        <source>沿倾向间距（m）</source>
        <translation>Spacing along dip (m)</translation>
    </message>
    <message>
        <source>楔块名称：（尚未确认块体）</source>
        <translation>Wedge: (no block confirmed yet)</translation>
    </message>
    <message>
        <source>楔块名称：</source>
        <translation>Wedge: </translation>
    </message>
    <message>
        <source>尚未分析。按“分析、计算”求安全系数与所需锚固力。</source>
        <translation>Not analysed yet. Press &quot;Analyse&quot; for the safety factor and the bolt force required.</translation>
    </message>
    <message>
        <source>安全系数Fs = %1（%2），%3
所需安全系数 %4
设计锚杆所需锚固力：%5
最省力锚杆：%6</source>
        <translation>Safety factor Fs = %1 (%2), %3
Required safety factor %4
Design bolt force required: %5
Least bolt force: %6</translation>
    </message>
    <message>
        <source>荷载与支护均为缺省值，无需荷载文件</source>
        <translation>Loads and support are all at their defaults: no loads file is needed</translation>
    </message>
    <message>
        <source>一级</source>
        <translation>class I</translation>
    </message>
    <message>
        <source>二级</source>
        <translation>class II</translation>
    </message>
    <message>
        <source>三级</source>
        <translation>class III</translation>
    </message>
    <message>
        <source>%1，%2，%3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message>
        <source>永久边坡</source>
        <translation>Permanent slope</translation>
    </message>
    <message>
        <source>临时边坡</source>
        <translation>Temporary slope</translation>
    </message>
    <message>
        <source>一般工况</source>
        <translation>ordinary condition</translation>
    </message>
    <message>
        <source>地震工况</source>
        <translation>seismic condition</translation>
    </message>
    <message>
        <source>JCS（kPa）</source>
        <translation>JCS (kPa)</translation>
    </message>
    <message>
        <source>c（kPa）</source>
        <translation>c (kPa)</translation>
    </message>
    <message>
        <source>d（kPa）</source>
        <translation>d (kPa)</translation>
    </message>
    <message>
        <source>σci（kPa）</source>
        <translation>σci (kPa)</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>
楔块体积 %1 m³，重量 %2 kN</source>
        <translation>
Wedge volume %1 m³, weight %2 kN</translation>
    </message>
    <message>
        <source>
按%1缩小为全高楔块的%2倍；全高楔块体积 %3 m³</source>
        <translation>
Scaled by the %1 to %2 of the full-height wedge; full-height volume %3 m³</translation>
    </message>
</context>
<context>
    <name>trelmox::ui::TForm2</name>
    <message>
        <source>按走向、倾向输入结构面数据</source>
        <translation>Enter planes by strike and dip</translation>
    </message>
    <message>
        <source>按倾角、倾向输入结构面数据</source>
        <translation>Enter planes by dip and dip direction</translation>
    </message>
    <message>
        <source>默认结构面输入按走向、倾向输入，也可以选择按倾角、倾向输入</source>
        <translation>Planes are entered by strike and dip (quadrant notation), or by dip and dip direction</translation>
    </message>
    <message>
        <source>走向:是倾斜平面与水平参考面交线的迹线</source>
        <translation>Strike: the trace of the plane&apos;s intersection with a horizontal plane</translation>
    </message>
    <message>
        <source>倾向：是倾斜线水平投影迹线的方向</source>
        <translation>Dip direction: the direction of the horizontal projection of the dip line</translation>
    </message>
    <message>
        <source>楔快失稳分析数据输入</source>
        <translation>Wedge Failure Analysis: Plane Data</translation>
    </message>
    <message>
        <source>块体名称</source>
        <translation>Block name</translation>
    </message>
    <message>
        <source>查看数据</source>
        <translation>View Data</translation>
    </message>
    <message>
        <source>走向</source>
        <translation>Strike</translation>
    </message>
    <message>
        <source>倾向</source>
        <translation>Dip dir.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>倾角</source>
        <translation>Dip</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>结构面数据数据示意图</source>
        <translation>Plane data diagram</translation>
    </message>
</context>
<context>
    <name>trelmox::ui::TForm3</name>
    <message>
        <source>本对话框用于输入岩体及结构面的物理、力学参数</source>
        <translation>Physical and mechanical parameters of the rock and the planes</translation>
    </message>
    <message>
        <source>块体名称</source>
        <translation>Block name</translation>
    </message>
    <message>
        <source>岩石容重</source>
        <translation>Rock γ (kN/m³)</translation>
    </message>
    <message>
        <source>水的容重</source>
        <translation>Water γ (kN/m³)</translation>
    </message>
    <message>
        <source>坡高</source>
        <translation>Slope height (m)</translation>
    </message>
    <message>
        <source>倒悬系数</source>
        <translation>Overhang factor</translation>
    </message>
    <message>
        <source>平面1水压</source>
        <translation>Water pressure 1</translation>
    </message>
    <message>
        <source>平面2水压</source>
        <translation>Water pressure 2</translation>
    </message>
    <message>
        <source>使用输入水压值</source>
        <translation>Use entered values</translation>
    </message>
    <message>
        <source>使用计算值</source>
        <translation>Use computed values</translation>
    </message>
    <message>
        <source>平面1c值</source>
        <translation>Plane 1 c (kPa)</translation>
    </message>
    <message>
        <source>平面1f值</source>
        <translation>Plane 1 f</translation>
    </message>
    <message>
        <source>平面2c值</source>
        <translation>Plane 2 c (kPa)</translation>
    </message>
    <message>
        <source>平面2f值</source>
        <translation>Plane 2 f</translation>
    </message>
    <message>
        <source>查看数据</source>
        <translation>View Data</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>（结构面数据的修改尚未确定，保存的是上次确定的结构面）</source>
        <translation> (the plane edits are not confirmed yet: the planes saved are those confirmed last)</translation>
    </message>
</context>
<context>
    <name>trelmox::ui::TForm4</name>
    <message>
        <source>楔块名称</source>
        <translation>Wedge</translation>
    </message>
    <message>
        <source>分析、计算</source>
        <translation>Analyse</translation>
    </message>
    <message>
        <source>本对话框用于分析、计算楔块的稳定性</source>
        <translation>Analysis of the wedge&apos;s stability</translation>
    </message>
    <message>
        <source>楔块的体积</source>
        <translation>Wedge volume</translation>
    </message>
    <message>
        <source>楔块的高度</source>
        <translation>Wedge height</translation>
    </message>
    <message>
        <source>楔块安全系数Kc</source>
        <translation>Safety factor Kc</translation>
    </message>
    <message>
        <source>楔块交线的倾角βab</source>
        <translation>Plunge of βab</translation>
    </message>
    <message>
        <source>三维分析（实际楔块）</source>
        <translation>3D analysis (real wedge)</translation>
    </message>
    <message>
        <source>安全系数Fs</source>
        <translation>Safety factor Fs</translation>
    </message>
    <message>
        <source>接触状态</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>稳定状态</source>
        <translation>Stability</translation>
    </message>
    <message>
        <source>所需安全系数</source>
        <translation>Required safety factor</translation>
    </message>
    <message>
        <source>设计锚杆力（kN）</source>
        <translation>Design bolt force (kN)</translation>
    </message>
    <message>
        <source>最省锚固力（kN）</source>
        <translation>Least bolt force (kN)</translation>
    </message>
    <message>
        <source>荷载与支护…</source>
        <translation>Loads and Support…</translation>
    </message>
    <message>
        <source>楔块体积（m³）</source>
        <translation>Wedge volume (m³)</translation>
    </message>
    <message>
        <source>楔块重量（kN）</source>
        <translation>Wedge weight (kN)</translation>
    </message>
</context>
<context>
    <name>trelmox::views::CloudWindow</name>
    <message>
        <source>PLY、LAS（未压缩）或 XYZ 文本点云文件</source>
        <translation>PLY, LAS (uncompressed) or XYZ text point cloud file</translation>
    </message>
    <message>
        <source>不抽稀</source>
        <translation>no thinning</translation>
    </message>
    <message>
        <source>体素边长</source>
        <translation>Voxel size</translation>
    </message>
    <message>
        <source>分析点云</source>
        <translation>Analyse Cloud</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>坐标轴</source>
        <translation>Axes</translation>
    </message>
    <message>
        <source>打开点云文件</source>
        <translation>Open Point Cloud File</translation>
    </message>
    <message>
        <source>按个数</source>
        <translation>by count</translation>
    </message>
    <message>
        <source>按面积</source>
        <translation>by area</translation>
    </message>
    <message>
        <source>文件 x、y、z 轴的方向，取自 E（东）W（西）N（北）S（南）U（上）D（下），如 ENU</source>
        <translation>The directions of the file&apos;s x, y and z axes from E (east), W (west), N (north), S (south), U (up), D (down), e.g. ENU</translation>
    </message>
    <message>
        <source>最小面片面积</source>
        <translation>Least facet area</translation>
    </message>
    <message>
        <source>浏览…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>点云 (*.ply *.las *.laz *.xyz *.txt *.csv *.pts);;所有文件 (*)</source>
        <translation>Point clouds (*.ply *.las *.laz *.xyz *.txt *.csv *.pts);;All files (*)</translation>
    </message>
    <message>
        <source>点云…</source>
        <translation>Point Cloud…</translation>
    </message>
    <message>
        <source>点云结构面</source>
        <translation>Joints from a Point Cloud</translation>
    </message>
    <message>
        <source>结构面组数</source>
        <translation>Joint sets</translation>
    </message>
    <message>
        <source>自动选择组数（至多此数）</source>
        <translation>chosen automatically (at most this many)</translation>
    </message>
    <message>
        <source>近邻点数</source>
        <translation>Neighbours</translation>
    </message>
    <message>
        <source>面片权重</source>
        <translation>Facet weight</translation>
    </message>
</context>
<context>
    <name>trelmox::views::JointsWindow</name>
    <message>
        <source>无离散</source>
        <translation>no scatter</translation>
    </message>
    <message>
        <source>请先打开结构面测量文件</source>
        <translation>Open a file of joint measurements first</translation>
    </message>
    <message>
        <source>块体坡面</source>
        <translation>Block&apos;s slope face</translation>
    </message>
    <message>
        <source>%1“%2”无法读取：%3</source>
        <translation>%1 &quot;%2&quot; cannot be read: %3</translation>
    </message>
    <message>
        <source>请先在结构面数据输入窗口确定一个块体：组合按它的坡顶面、坡面和参数计算</source>
        <translation>Confirm a block in the plane data window first: the combinations use its slope top, slope face and parameters</translation>
    </message>
    <message>
        <source>结构面1</source>
        <translation>Plane 1</translation>
    </message>
    <message>
        <source>结构面2</source>
        <translation>Plane 2</translation>
    </message>
    <message>
        <source>产状1</source>
        <translation>Attitude 1</translation>
    </message>
    <message>
        <source>产状2</source>
        <translation>Attitude 2</translation>
    </message>
    <message>
        <source>交线</source>
        <translation>Intersection</translation>
    </message>
    <message>
        <source>运动学</source>
        <translation>Kinematics</translation>
    </message>
    <message>
        <source>Kc</source>
        <translation>Kc</translation>
    </message>
    <message>
        <source>接触情况</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>Fs</source>
        <translation>Fs</translation>
    </message>
    <message>
        <source>P(破坏)</source>
        <translation>P(failure)</translation>
    </message>
    <message>
        <source>接触情况(Fs)</source>
        <translation>Contact (Fs)</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>可滑动</source>
        <translation>Can slide</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>结构面统计与组合分析</source>
        <translation>Joint Statistics and Combinations</translation>
    </message>
    <message>
        <source>结构面测量文件</source>
        <translation>Joint measurements file</translation>
    </message>
    <message>
        <source>倾角,倾向[,组号[,权重]] 或 象限产状，CSV、文本或 Excel（.xlsx）文件</source>
        <translation>dip,dip direction[,set[,weight]] or quadrant attitudes; CSV, text or Excel (.xlsx) file</translation>
    </message>
    <message>
        <source>浏览…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>导出 Excel…</source>
        <translation>Export Excel…</translation>
    </message>
    <message>
        <source>等面积投影（施密特网）</source>
        <translation>Equal area (Schmidt net)</translation>
    </message>
    <message>
        <source>等角投影（吴氏网）</source>
        <translation>Equal angle (Wulff net)</translation>
    </message>
    <message>
        <source>Fisher 平滑</source>
        <translation>Fisher smoothing</translation>
    </message>
    <message>
        <source>Kamb 计数</source>
        <translation>Kamb counting</translation>
    </message>
    <message>
        <source>不画等密度线</source>
        <translation>No contours</translation>
    </message>
    <message>
        <source>保存图片…</source>
        <translation>Save Picture…</translation>
    </message>
    <message>
        <source>投影方式</source>
        <translation>Projection</translation>
    </message>
    <message>
        <source>等密度线</source>
        <translation>Contours</translation>
    </message>
    <message>
        <source>结构面分组</source>
        <translation>Joint sets</translation>
    </message>
    <message>
        <source>逐个结构面</source>
        <translation>Each plane</translation>
    </message>
    <message>
        <source>按文件组号</source>
        <translation>Sets from the file</translation>
    </message>
    <message>
        <source>自动分组</source>
        <translation>Automatic sets</translation>
    </message>
    <message>
        <source> 组</source>
        <translation> sets</translation>
    </message>
    <message>
        <source>组</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>个数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>平均产状</source>
        <translation>Mean attitude</translation>
    </message>
    <message>
        <source>平均极点</source>
        <translation>Mean pole</translation>
    </message>
    <message>
        <source>95%置信锥</source>
        <translation>95% confidence cone</translation>
    </message>
    <message>
        <source>拾取锥半角</source>
        <translation>Pick cone half-angle</translation>
    </message>
    <message>
        <source>在图上单击极点拾取一组</source>
        <translation>Click a pole on the net to pick a set</translation>
    </message>
    <message>
        <source>组合分析（按当前块体的边坡）</source>
        <translation>Combinations (on the current block&apos;s slope)</translation>
    </message>
    <message>
        <source>组合分析</source>
        <translation>Combine</translation>
    </message>
    <message>
        <source>双击一行或按回车：该组合作为当前块体填入数据输入窗口，确定后保存</source>
        <translation>Double-click a row or press Return: the pair goes into the plane data window as the current block, saved once confirmed</translation>
    </message>
    <message>
        <source>计算破坏概率</source>
        <translation>Probability of Failure</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>破坏概率（各组按 Fisher 分布抽样）：每对样本数</source>
        <translation>Probability of failure (sets sampled from Fisher distributions): samples per pair</translation>
    </message>
    <message>
        <source>随机种子</source>
        <translation>Random seed</translation>
    </message>
    <message>
        <source>请先做组合分析</source>
        <translation>Run the combinations first</translation>
    </message>
    <message>
        <source>计算期间组合已重新计算，破坏概率未保留，请重新计算</source>
        <translation>The combinations were recomputed during the run; the probabilities were not kept. Compute them again</translation>
    </message>
    <message>
        <source>运动学分析（破坏模式与边坡分区）</source>
        <translation>Kinematic analysis (failure modes and slope sectors)</translation>
    </message>
    <message>
        <source>不做运动学分析</source>
        <translation>No kinematic analysis</translation>
    </message>
    <message>
        <source>分区</source>
        <translation>Sector</translation>
    </message>
    <message>
        <source>坡面倾角</source>
        <translation>Face dip</translation>
    </message>
    <message>
        <source>坡面倾向</source>
        <translation>Face dip dir.</translation>
    </message>
    <message>
        <source>打开分区文件…</source>
        <translation>Open Sectors…</translation>
    </message>
    <message>
        <source>添加分区</source>
        <translation>Add Sector</translation>
    </message>
    <message>
        <source>删除分区</source>
        <translation>Remove Sector</translation>
    </message>
    <message>
        <source>临界数</source>
        <translation>Critical</translation>
    </message>
    <message>
        <source>总数</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>临界比例</source>
        <translation>Critical share</translation>
    </message>
    <message>
        <source>检查交线</source>
        <translation>Check Intersections</translation>
    </message>
    <message>
        <source>破坏模式</source>
        <translation>Failure mode</translation>
    </message>
    <message>
        <source>摩擦角</source>
        <translation>Friction angle</translation>
    </message>
    <message>
        <source>侧向界限 ±</source>
        <translation>Lateral limits ±</translation>
    </message>
    <message>
        <source>打开边坡分区文件</source>
        <translation>Open Slope Sectors File</translation>
    </message>
    <message>
        <source>分区文件 (*.csv *.txt);;所有文件 (*)</source>
        <translation>Sector files (*.csv *.txt);;All files (*)</translation>
    </message>
    <message>
        <source>分区文件</source>
        <translation>Sectors file</translation>
    </message>
    <message>
        <source>坡面倾角“%1”不是数</source>
        <translation>Slope face dip &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>坡面倾向“%1”不是数</source>
        <translation>Slope face dip direction &quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>打开结构面测量文件</source>
        <translation>Open Joint Measurements File</translation>
    </message>
    <message>
        <source>测量文件 (*.csv *.txt *.xlsx);;所有文件 (*)</source>
        <translation>Measurement files (*.csv *.txt *.xlsx);;All files (*)</translation>
    </message>
    <message>
        <source>导出表格</source>
        <translation>Export Tables</translation>
    </message>
    <message>
        <source>结构面表格.xlsx</source>
        <translation>joint-tables.xlsx</translation>
    </message>
    <message>
        <source>Excel 工作簿 (*.xlsx)</source>
        <translation>Excel workbook (*.xlsx)</translation>
    </message>
    <message>
        <source>测量文件</source>
        <translation>Measurements file</translation>
    </message>
    <message>
        <source>（分区 %1 坡面 %2）</source>
        <translation> (sector %1, slope face %2)</translation>
    </message>
    <message>
        <source>块体 %1%2：%3</source>
        <translation>Block %1%2: %3</translation>
    </message>
    <message>
        <source>图上拾取</source>
        <translation>Picked on the net</translation>
    </message>
    <message>
        <source>分组方式：%1，%2 组</source>
        <translation>Sets: %1, %2 sets</translation>
    </message>
    <message>
        <source>尚未确定块体</source>
        <translation>No block confirmed yet</translation>
    </message>
    <message>
        <source>请先打开测量文件，并确定块体或添加分区：按其坡面检查</source>
        <translation>Open a measurements file, and confirm a block or add a sector first: the check uses its slope face</translation>
    </message>
    <message>
        <source>坡面 %1，%2：交线检查已取消，按“检查交线”重新开始</source>
        <translation>Slope face %1, %2: the intersection check was cancelled; press &quot;Check Intersections&quot; to start again</translation>
    </message>
    <message>
        <source>坡面 %1，%2：正在检查 %3 对结构面的交线…</source>
        <translation>Slope face %1, %2: checking the intersections of %3 pairs of planes…</translation>
    </message>
    <message>
        <source>坡面 %1，%2：%3 %4/%5（%6）</source>
        <translation>Slope face %1, %2: %3 %4/%5 (%6)</translation>
    </message>
    <message>
        <source>临界交线</source>
        <translation>critical intersections</translation>
    </message>
    <message>
        <source>临界极点</source>
        <translation>critical poles</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>结构面赤平投影</source>
        <translation>joint stereonet</translation>
    </message>
</context>
<context>
    <name>trelmox::views::ProbabilisticWindow</name>
    <message>
        <source>均值 %1    标准差 %2    最小 %3    最大 %4</source>
        <translation>Mean %1    SD %2    Min %3    Max %4</translation>
    </message>
    <message>
        <source>
%1：实际楔块 %2 个</source>
        <translation>
%1: %2 real wedges</translation>
    </message>
    <message>
        <source>，无法统计 Fs。</source>
        <translation>; no statistics of Fs.</translation>
    </message>
    <message>
        <source>，P(Fs&lt;%1) = %2，P(Fs&lt;1) = %3
    %4</source>
        <translation>, P(Fs&lt;%1) = %2, P(Fs&lt;1) = %3
    %4</translation>
    </message>
    <message>
        <source>
破坏楔块（Fs&lt;1）%1 个：体积均值 %2，5%/50%/95% 分位 %3 / %4 / %5；重量均值 %6</source>
        <translation>
%1 failed wedges (Fs&lt;1): mean volume %2, 5%/50%/95% quantiles %3 / %4 / %5; mean weight %6</translation>
    </message>
    <message>
        <source>
小于最小尺寸的楔块 %1 个（过小，不计入各概率）</source>
        <translation>
%1 wedges below the minimum size (too small, left out of the probabilities)</translation>
    </message>
    <message>
        <source>
台阶可靠度 %1（剩余平台窄于最小安全平台宽度 %2 的楔块 %3 个，占 %4）</source>
        <translation>
Bench reliability %1 (%3 wedges leave a bench narrower than the minimum catch width %2, %4)</translation>
    </message>
    <message>
        <source>计算已取消。</source>
        <translation>The run was cancelled.</translation>
    </message>
    <message>
        <source>样本 %1 个，切出块体 %2 个（双面接触 %3，单面接触 %4，浮起 %5），不能切出块体 %6，未定 %7，计算失败 %8。</source>
        <translation>%1 samples, %2 cut out a block (contact on both planes %3, on one plane %4, lifted off %5), no block %6, undetermined %7, failed %8.</translation>
    </message>
    <message>
        <source>
%1：没有切出块体的样本，无法统计 Kc。</source>
        <translation>
%1: no sample cut out a block; no statistics of Kc.</translation>
    </message>
    <message>
        <source>
%1：P(Kc&lt;1) = %2
    %3</source>
        <translation>
%1: P(Kc&lt;1) = %2
    %3</translation>
    </message>
    <message>
        <source>可靠度分析</source>
        <translation>Probabilistic Analysis</translation>
    </message>
    <message>
        <source>蒙特卡洛法</source>
        <translation>Monte Carlo</translation>
    </message>
    <message>
        <source>拉丁超立方抽样</source>
        <translation>Latin hypercube</translation>
    </message>
    <message>
        <source>两者都按分布变化时才起作用；通常为负值</source>
        <translation>Takes effect only when both vary by a distribution; usually negative</translation>
    </message>
    <message>
        <source>样本数</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>抽样方法</source>
        <translation>Sampling</translation>
    </message>
    <message>
        <source>随机种子</source>
        <translation>Random seed</translation>
    </message>
    <message>
        <source>直方图分组数</source>
        <translation>Histogram bins</translation>
    </message>
    <message>
        <source>平面1 c1 与 f1 的相关系数</source>
        <translation>Correlation of c1 and f1 (plane 1)</translation>
    </message>
    <message>
        <source>平面2 c2 与 f2 的相关系数</source>
        <translation>Correlation of c2 and f2 (plane 2)</translation>
    </message>
    <message>
        <source>开始计算</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存图片…</source>
        <translation>Save Picture…</translation>
    </message>
    <message>
        <source>安全系数 Kc</source>
        <translation>Safety factor Kc</translation>
    </message>
    <message>
        <source>破坏楔块体积</source>
        <translation>Volume of failed wedges</translation>
    </message>
    <message>
        <source>尚未计算。设定各参数的分布后按“开始计算”。</source>
        <translation>Not run yet. Set the parameters&apos; distributions and press &quot;Run&quot;.</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>块体取值</source>
        <translation>Block value</translation>
    </message>
    <message>
        <source>分布</source>
        <translation>Distribution</translation>
    </message>
    <message>
        <source>标准差</source>
        <translation>SD</translation>
    </message>
    <message>
        <source>下限</source>
        <translation>Lower</translation>
    </message>
    <message>
        <source>上限</source>
        <translation>Upper</translation>
    </message>
    <message>
        <source>截断下限</source>
        <translation>Truncate below</translation>
    </message>
    <message>
        <source>截断上限</source>
        <translation>Truncate above</translation>
    </message>
    <message>
        <source>正态、对数正态、伽马分布：均值为块体取值，填标准差；
指数分布：均值为块体取值；均匀分布：填下限和上限；
三角形分布：下限、上限，最可能值为块体取值；
贝塔分布：均值为块体取值，填标准差、下限和上限。
截断下限、上限（可只填一个）：只在其间抽样。</source>
        <translation>Normal, lognormal, gamma: the mean is the block value; give the standard deviation.
Exponential: the mean is the block value. Uniform: give the lower and upper bounds.
Triangular: lower and upper bounds; the most likely value is the block value.
Beta: the mean is the block value; give the standard deviation and the bounds.
Truncate below/above (either alone will do): samples are drawn only between them.</translation>
    </message>
    <message>
        <source>平面%1的相关系数只在其粘聚力和摩擦系数都按分布变化时才能给出</source>
        <translation>The correlation of plane %1 can be given only when both its cohesion and its friction coefficient vary by a distribution</translation>
    </message>
    <message>
        <source>计算中…</source>
        <translation>Running…</translation>
    </message>
    <message>
        <source>计算失败。</source>
        <translation>The run failed.</translation>
    </message>
    <message>
        <source>（按“开始计算”重新计算）</source>
        <translation> (press &quot;Run&quot; to run again)</translation>
    </message>
    <message>
        <source>可靠指标 β</source>
        <translation>Reliability index β</translation>
    </message>
</context>
<context>
    <name>trelmox::views::ReliabilityPanel</name>
    <message>
        <source>一级</source>
        <translation>Class I</translation>
    </message>
    <message>
        <source>二级</source>
        <translation>Class II</translation>
    </message>
    <message>
        <source>三级</source>
        <translation>Class III</translation>
    </message>
    <message>
        <source>延性破坏</source>
        <translation>ductile failure</translation>
    </message>
    <message>
        <source>脆性破坏</source>
        <translation>brittle failure</translation>
    </message>
    <message>
        <source>%1，%2：β = %3</source>
        <translation>%1, %2: β = %3</translation>
    </message>
    <message>
        <source>%1（变异系数 %2，%3 个样本）</source>
        <translation>%1 (CoV %2, %3 samples)</translation>
    </message>
    <message>
        <source>计算已取消。</source>
        <translation>The run was cancelled.</translation>
    </message>
    <message>
        <source>可靠指标 β = %1（迭代 %2 次，计算安全系数 %3 次）</source>
        <translation>Reliability index β = %1 (%2 iterations, %3 evaluations of the factor)</translation>
    </message>
    <message>
        <source>
失效概率：FORM %1，SORM %2（Breitung %3），重要抽样 %4</source>
        <translation>
Probability of failure: FORM %1, SORM %2 (Breitung %3), importance sampling %4</translation>
    </message>
    <message>
        <source>
验算点处的安全系数 %1，接触状态：%2</source>
        <translation>
Factor at the design point %1, contact: %2</translation>
    </message>
    <message>
        <source>
失效模式 %1 个：</source>
        <translation>
%1 failure modes:</translation>
    </message>
    <message>
        <source>
    %1. %2，β = %3</source>
        <translation>
    %1. %2, β = %3</translation>
    </message>
    <message>
        <source>
体系失效概率 %1；Ditlevsen 界限 %2 ～ %3；体系可靠指标 %4</source>
        <translation>
System probability of failure %1; Ditlevsen&apos;s bounds %2 to %3; system index %4</translation>
    </message>
    <message>
        <source>
目标可靠指标 %1：满足</source>
        <translation>
Target index %1: met</translation>
    </message>
    <message>
        <source>
目标可靠指标 %1：不满足</source>
        <translation>
Target index %1: not met</translation>
    </message>
    <message>
        <source>
达到目标所需的锚杆力 %1 kN</source>
        <translation>
Bolt force reaching the target %1 kN</translation>
    </message>
    <message>
        <source>实际楔块 Fs</source>
        <translation>Real wedge Fs</translation>
    </message>
    <message>
        <source>不检验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Own value</translation>
    </message>
    <message>
        <source>GB 50153-2008 表 A.1.4：结构构件持久设计状况承载能力极限状态的可靠指标</source>
        <translation>GB 50153-2008 Table A.1.4: reliability indices of structural members, ultimate limit state, persistent design situation</translation>
    </message>
    <message>
        <source>求达到目标所需的锚杆力（主动锚杆）</source>
        <translation>Bolt force reaching the target (active bolt)</translation>
    </message>
    <message>
        <source>计算可靠指标</source>
        <translation>Compute β</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>安全系数</source>
        <translation>Factor</translation>
    </message>
    <message>
        <source>目标可靠指标</source>
        <translation>Target index</translation>
    </message>
    <message>
        <source>重要抽样变异系数</source>
        <translation>Importance sampling CoV</translation>
    </message>
    <message>
        <source>方位角</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>倾伏角</source>
        <translation>Plunge</translation>
    </message>
    <message>
        <source>尚未计算。按“计算可靠指标”以左侧表中的分布计算。</source>
        <translation>Not computed yet. Press &quot;Compute β&quot; to use the distributions of the table on the left.</translation>
    </message>
    <message>
        <source>随机输入</source>
        <translation>Random input</translation>
    </message>
    <message>
        <source>验算点取值</source>
        <translation>Design point</translation>
    </message>
    <message>
        <source>计算中…</source>
        <translation>Running…</translation>
    </message>
    <message>
        <source>计算失败。</source>
        <translation>The run failed.</translation>
    </message>
    <message>
        <source>
（块体数据在此次计算后已修改，请重新计算）</source>
        <translation>
(the block&apos;s data have changed since this run: compute again)</translation>
    </message>
    <message>
        <source>
不加锚杆已达到目标可靠指标</source>
        <translation>
The block reaches the target beta without a bolt</translation>
    </message>
    <message>
        <source>
所需锚杆力最小的方向：方位角 %1°，倾伏角 %2°，达到目标所需的锚杆力 %3 kN</source>
        <translation>
Bolt direction needing the least force: trend %1°, plunge %2°; bolt force reaching the target %3 kN</translation>
    </message>
    <message>
        <source>（该力至其以上 %1% 之间均满足目标，同支护设计的余量）</source>
        <translation> (the target holds from this force up to %1% above it, the support design&apos;s margin)</translation>
    </message>
    <message>
        <source>
已确认为最小：与下界 %1 kN 相差不超过 %2%</source>
        <translation>
Confirmed as the least: within %2% of the lower bound %1 kN</translation>
    </message>
    <message>
        <source>
未能确认为最小：任何方向所需的力不小于 %1 kN（相差不超过 %2% 时确认）</source>
        <translation>
Not confirmed as the least: no direction needs less than %1 kN (confirmed within %2%)</translation>
    </message>
    <message>
        <source>所需锚杆力最小的方向</source>
        <translation>Direction needing the least force</translation>
    </message>
    <message>
        <source>搜索所需锚杆力最小的方向，代替给定的方位角和倾伏角</source>
        <translation>Search the bolt direction needing the least force instead of the given trend and plunge</translation>
    </message>
</context>
<context>
    <name>trelmox::views::SensitivityWindow</name>
    <message>
        <source>敏感性分析</source>
        <translation>Sensitivity Analysis</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Compute</translation>
    </message>
    <message>
        <source>保存图片…</source>
        <translation>Save Picture…</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>从</source>
        <translation>From</translation>
    </message>
    <message>
        <source>到</source>
        <translation>To</translation>
    </message>
    <message>
        <source>步数</source>
        <translation>Steps</translation>
    </message>
    <message>
        <source>尚未计算。</source>
        <translation>Not computed yet.</translation>
    </message>
    <message>
        <source>块体取值 %1 时 Kc = %2</source>
        <translation>Kc = %2 at the block value %1</translation>
    </message>
    <message>
        <source>%1 时 %2 ≈ %3</source>
        <translation>%2 ≈ %3 at %1</translation>
    </message>
    <message>
        <source>所选范围内 Kc 不经过 1</source>
        <translation>Kc does not cross 1 in the range chosen</translation>
    </message>
    <message>
        <source>所选范围内 Fs 不经过所需安全系数 %1</source>
        <translation>Fs does not cross the required safety factor %1 in the range chosen</translation>
    </message>
    <message>
        <source>不能切出块体 %1 步</source>
        <translation>no block at %1 steps</translation>
    </message>
    <message>
        <source>计算失败 %1 步</source>
        <translation>failed at %1 steps</translation>
    </message>
    <message>
        <source>（按“计算”重新计算）</source>
        <translation> (press &quot;Compute&quot; to compute again)</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>trelmox::views::StereonetWindow</name>
    <message>
        <source>赤平投影</source>
        <translation>Stereonet</translation>
    </message>
    <message>
        <source>等角投影（吴氏网）</source>
        <translation>Equal angle (Wulff net)</translation>
    </message>
    <message>
        <source>等面积投影（施密特网）</source>
        <translation>Equal area (Schmidt net)</translation>
    </message>
    <message>
        <source>保存图片…</source>
        <translation>Save Picture…</translation>
    </message>
    <message>
        <source>投影方式</source>
        <translation>Projection</translation>
    </message>
</context>
<context>
    <name>trelmox::views::WedgeViewWidget</name>
    <message>
        <source>拖动鼠标旋转，滚轮缩放，双击复位</source>
        <translation>Drag to rotate, wheel to zoom, double-click to reset</translation>
    </message>
</context>
<context>
    <name>trelmox::views::WedgeViewWindow</name>
    <message>
        <source>三维视图</source>
        <translation>3D View</translation>
    </message>
    <message>
        <source>复位视角</source>
        <translation>Reset View</translation>
    </message>
    <message>
        <source>保存图片…</source>
        <translation>Save Picture…</translation>
    </message>
    <message>
        <source>拖动鼠标旋转，滚轮缩放</source>
        <translation>Drag to rotate, wheel to zoom</translation>
    </message>
</context>
</TS>
