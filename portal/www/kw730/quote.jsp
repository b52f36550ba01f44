<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>个股详情</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<body id="page-quote" onload="(new Image()).src='/__beacon?page=quote'">
<div class="article">
  <h1>个股详情 <span id="quote-code">{{PARAM:code}}</span></h1>
  <table class="quotes" style="width:420px">
    <tr><th>项目</th><th></th><th>数值</th></tr>
    <tr><td>最新价</td><td></td><td class="up">18.62</td></tr>
    <tr><td>市盈率</td><td></td><td>23.4</td></tr>
    <tr><td>总市值</td><td></td><td>86.2 亿</td></tr>
    <tr><td>52周区间</td><td></td><td>12.10 - 21.75</td></tr>
  </table>
  <p class="muted">演示数据 Demo data.</p>
</div>
</body>
</html>
