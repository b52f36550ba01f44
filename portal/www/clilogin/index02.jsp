<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>Sorvane金融终端 - 行情首页</title>
<link rel="stylesheet" href="/css/portal.css">
<style>
  body { height: 567px; overflow: hidden; }
  .col-quotes { width: 400px; }
  .col-news { flex: 1; }
  .col-side { width: 250px; }
</style>
</head>
<!-- Body page of the main window. The shell obeys its commands only on addresses that carry "kw730". -->
<body id="page-index02" onload="(new Image()).src='/__beacon?page=index02'">
<div class="toolbar">
  <a id="body-back" href="/kw730/cmd.jsp?action=back">&#9664; 后退</a>
  <a id="body-next" href="/kw730/cmd.jsp?action=next">前进 &#9654;</a>
  <a id="body-refresh" href="/kw730/cmd.jsp?action=refresh">刷新</a>
  <span class="spacer"></span>
  <a id="body-webhome" href="/kw730/cmd.jsp?action=webhome">门户主页</a>
  <a id="body-webhome-link" href="/kw730/cmd.jsp?action=webhome&amp;linkinfo={{ROOT}}/index.html">资讯中心</a>
  <a id="body-skin-blue" href="/kw730/skin.jsp?action=skin&amp;skin=blue">蓝色皮肤</a>
  <a id="body-myspace" href="/clilogin/myspace1.jsp">我的空间</a>
</div>
<div class="columns">
  <div class="panel col-quotes">
    <h2>行情看板 <span class="muted">(示例数据)</span></h2>
    <div class="content">
      <table class="quotes">
        <tr><th>代码</th><th>名称</th><th>最新</th><th>涨跌幅</th><th>成交(万)</th></tr>
        <tr><td>SV1001</td><td><a id="quote-1" href="/kw730/quote.jsp?code=SV1001&amp;tarwin=1">澜汐科技</a></td><td class="up">18.62</td><td class="up">+2.31%</td><td>12,480</td></tr>
        <tr><td>SV1002</td><td><a href="/kw730/quote.jsp?code=SV1002&amp;tarwin=1">禾曜能源</a></td><td class="down">7.05</td><td class="down">-1.12%</td><td>8,302</td></tr>
        <tr><td>SV1003</td><td><a href="/kw730/quote.jsp?code=SV1003&amp;tarwin=1">鹭岑医药</a></td><td class="up">42.90</td><td class="up">+0.47%</td><td>5,117</td></tr>
        <tr><td>SV1004</td><td><a href="/kw730/quote.jsp?code=SV1004&amp;tarwin=1">砾辰材料</a></td><td class="up">11.38</td><td class="up">+4.02%</td><td>20,655</td></tr>
        <tr><td>SV1005</td><td><a href="/kw730/quote.jsp?code=SV1005&amp;tarwin=1">鸣湾银行</a></td><td class="down">5.61</td><td class="down">-0.18%</td><td>31,904</td></tr>
        <tr><td>SV1006</td><td><a href="/kw730/quote.jsp?code=SV1006&amp;tarwin=1">溯汀汽车</a></td><td class="up">27.14</td><td class="up">+1.65%</td><td>9,876</td></tr>
        <tr><td>SV1007</td><td><a href="/kw730/quote.jsp?code=SV1007&amp;tarwin=1">曦棠消费</a></td><td class="down">63.02</td><td class="down">-2.44%</td><td>4,210</td></tr>
        <tr><td>SV1008</td><td><a href="/kw730/quote.jsp?code=SV1008&amp;tarwin=1">岚渚地产</a></td><td class="down">3.87</td><td class="down">-0.77%</td><td>15,339</td></tr>
        <tr><td>IDX001</td><td>综合指数</td><td class="up">3286.41</td><td class="up">+0.62%</td><td>—</td></tr>
        <tr><td>IDX002</td><td>成长指数</td><td class="down">1984.07</td><td class="down">-0.35%</td><td>—</td></tr>
      </table>
    </div>
  </div>
  <div class="panel col-news">
    <h2>要闻 <span class="muted">Top news</span></h2>
    <div class="content">
      <ul class="list">
        <li><span class="time">09:35</span><span class="tag">宏观</span><a id="news-1" href="/kw730/news.jsp?id=1&amp;tarwin=1">示例央行维持政策利率不变，市场预期平稳</a></li>
        <li><span class="time">09:52</span><span class="tag">行业</span><a id="news-2" href="/kw730/news.jsp?id=2&amp;tarwin=1">新材料板块午前走强，砾辰材料涨逾4%</a></li>
        <li><span class="time">10:11</span><span class="tag">公司</span><a id="news-3" href="/kw730/news.jsp?id=3&amp;tarwin=1">澜汐科技发布季度报告，营收同比增长</a></li>
        <li><span class="time">10:40</span><span class="tag">市场</span><a href="/kw730/news.jsp?id=4&amp;tarwin=1">Morning wrap: indices open mixed, volume steady</a></li>
        <li><span class="time">11:02</span><span class="tag">基金</span><a href="/kw730/news.jsp?id=5&amp;tarwin=1">示例成长基金调整持仓结构</a></li>
        <li><span class="time">13:15</span><span class="tag">债券</span><a href="/kw730/news.jsp?id=6&amp;tarwin=1">国债收益率小幅回落</a></li>
        <li><span class="time">13:48</span><span class="tag">外汇</span><a href="/kw730/news.jsp?id=7&amp;tarwin=1">示例汇率窄幅震荡，报 7.1035</a></li>
        <li><span class="time">14:20</span><span class="tag">研报</span><a href="/kw730/news.jsp?id=8&amp;tarwin=1">Sector note: consumer names under pressure</a></li>
      </ul>
      <div style="margin-top:8px">
        <button class="button" id="news-script" onclick="location.href='/kw730/news.jsp?id=3&amp;tarwin=1'">脚本打开资讯</button>
        <button class="button" id="refresh-script" onclick="location.href='/kw730/cmd.jsp?action=refresh'">脚本刷新</button>
      </div>
    </div>
  </div>
  <div class="panel col-side">
    <h2>视频直播</h2>
    <div class="content">
      <ul class="list">
        <li><a id="video-1" href="/kw730/video.jsp?ch=1&amp;tarwin=2">&#9654; 早盘直播间</a></li>
        <li><a id="video-2" href="/kw730/video.jsp?ch=2&amp;tarwin=2">&#9654; 午间策略会</a></li>
        <li><a href="/kw730/video.jsp?ch=3&amp;tarwin=2">&#9654; Closing bell review</a></li>
      </ul>
    </div>
    <h2>更多</h2>
    <div class="content">
      <ul class="list">
        <li><a id="body-blank" href="/kw730/notice.jsp?from=body-blank" target="_blank">新窗口打开公告</a></li>
        <li><a id="body-script-open" href="#" onclick="window.open('/kw730/notice.jsp?from=body-script'); return false;">脚本打开新窗口</a></li>
        <li><a id="body-plain" href="/kw730/news.jsp?id=2">本页打开资讯</a></li>
        <li><a id="body-back-foreign" href="/cmd.jsp?action=back" title="不含门户标记，外壳不拦截">后退 (无门户标记)</a></li>
      </ul>
    </div>
  </div>
</div>
</body>
</html>
