<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>资讯正文</title>
<link rel="stylesheet" href="/css/portal.css">
<script>
var headlines = {
  '1': '示例央行维持政策利率不变，市场预期平稳',
  '2': '新材料板块午前走强，砾辰材料涨逾4%',
  '3': '澜汐科技发布季度报告，营收同比增长',
  '4': 'Morning wrap: indices open mixed, volume steady',
  '5': '示例成长基金调整持仓结构',
  '6': '国债收益率小幅回落',
  '7': '示例汇率窄幅震荡，报 7.1035',
  '8': 'Sector note: consumer names under pressure',
  '9': '市场日报：两市成交温和，结构分化'
};
window.addEventListener('load', function () {
  var id = document.getElementById('news-id').textContent;
  document.getElementById('headline').textContent = headlines[id] || ('资讯 #' + id);
  (new Image()).src = '/__beacon?page=news';
});
</script>
</head>
<body id="page-news">
<div class="article">
  <h1 id="headline">资讯</h1>
  <p class="muted">Sorvane资讯 · 编号 <span id="news-id">{{PARAM:id}}</span> · 本文为演示内容</p>
  <p>今日市场整体运行平稳，主要指数窄幅震荡。分析人士认为，短期内资金面保持合理充裕，板块轮动特征明显，
     投资者宜关注业绩确定性较强的品种。以上内容均为演示数据，不构成任何投资建议。</p>
  <p>Markets traded in a narrow range today. All names and figures on this page are made up for demonstration.</p>
  <p><a id="news-next" href="/kw730/news.jsp?id=4">下一篇</a> · <a href="/kw730/video.jsp?ch=1">相关视频</a></p>
</div>
</body>
</html>
