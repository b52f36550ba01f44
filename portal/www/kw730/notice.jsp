<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>系统公告</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<body id="page-notice" onload="(new Image()).src='/__beacon?page=notice'">
<div class="article">
  <h1>系统公告</h1>
  <p>本周六凌晨将进行例行维护，届时行情服务可能短暂中断。 Scheduled maintenance this weekend.</p>
  <p class="muted">来源: <span id="notice-from">{{PARAM:from}}</span></p>
</div>
</body>
</html>
