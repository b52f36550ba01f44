<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>Sorvane金融终端 - 导航</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<!-- Head strip of the main window: 73 px high; the top 27 px are the drag band.
     Within the band only x 635-710 and x 863 and more are not dragged, so the buttons sit there. -->
<body class="head" id="page-index01" onload="(new Image()).src='/__beacon?page=index01'">
<div class="band">
  <span class="brand">Sorvane金融终端</span>
  <span class="ticker">综合指数 3286.41 <span class="up">+0.62%</span> &nbsp; 成长指数 1984.07 <span class="down">-0.35%</span> &nbsp; 示例汇率 7.1035 &nbsp; 欢迎 {{USER}}</span>
  <a class="refresh" id="head-refresh" href="/cmd.jsp?action=refresh" title="刷新正文">刷新</a>
  <span class="winbtns">
    <a id="head-min" href="/cmd.jsp?action=min" title="最小化">&#8211;</a>
    <a id="head-max" href="/cmd.jsp?action=max" title="最大化">&#9633;</a>
    <a id="head-close" class="close" href="/cmd.jsp?action=close" title="关闭">&#215;</a>
  </span>
</div>
<div class="nav">
  <a id="head-home" href="/cmd.jsp?action=refresh">首页</a>
  <a id="head-newwin" href="/popup/linkpop.html?newwin=1">资讯快递</a>
  <a id="head-openwin" href="/cmd.jsp?op=linkpop&amp;cpp_open_win=1&amp;cpp_url={{ROOT_ENC}}%2Fpopup%2Flinkpop.html%3Ffrom%3Dhead&amp;cpp_width=463&amp;cpp_height=377&amp;cpp_left=center">快讯弹窗</a>
  <a id="head-openwin-top" href="/cmd.jsp?op=help&amp;cpp_open_win=1&amp;cpp_url={{ROOT_ENC}}%2Fpopup%2Flinkpop.html%3Ffrom%3Dhelp&amp;cpp_width=520&amp;cpp_height=360&amp;cpp_top=Center">帮助中心</a>
  <span class="sep"></span>
  <a id="head-blank" href="/kw730/news.jsp?id=9" target="_blank">市场日报</a>
  <a id="head-script-open" href="#" onclick="window.open('/kw730/notice.jsp?from=head'); return false;">系统公告</a>
  <a id="head-script-command" href="#" onclick="location.href='/cmd.jsp?action=refresh'; return false;">行情刷新</a>
</div>
</body>
</html>
