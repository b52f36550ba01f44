<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>命令未拦截</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<!-- Command links point here. The shell normally cancels these navigations; when this page shows,
     the command was not taken by the window that navigated. -->
<body id="page-cmd" onload="(new Image()).src='/__beacon?page=cmd'; document.getElementById('cmd-url').textContent = location.href;">
<div class="article">
  <h1>命令未被外壳处理</h1>
  <p>地址: <code id="cmd-url"></code></p>
  <p class="marker">COMMAND-NOT-INTERCEPTED</p>
</div>
</body>
</html>
