<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>找回密码</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<!-- Shown in the framed pop-up (624 x 353); its links are pop-up commands. -->
<body id="page-getpass" onload="(new Image()).src='/__beacon?page=getpass'">
<div class="section">
  <h3>找回密码</h3>
  <form class="simple" onsubmit="location.href='/popup/done.html?form=getpass&amp;cpp_login_ok=1'; return false;">
    <div><label>用户名</label><input name="name" value="demo"></div>
    <div><label>邮箱</label><input name="mail" value="demo@example.invalid"></div>
    <div><label></label><button class="button" id="getpass-submit" type="submit">发送重置邮件</button></div>
  </form>
</div>
<div class="section">
  <div class="row">
    <a class="button" id="getpass-help" href="/cmd.jsp?page=getpass&amp;cpp_alert=%u8BF7%u8054%u7CFB%u5BA2%u670D">帮助</a>
    <a class="button" id="getpass-abort" href="/cmd.jsp?page=getpass&amp;cpp_abort=1">什么也不做</a>
    <a class="button" id="getpass-close" href="/cmd.jsp?page=getpass&amp;cpp_close=1">关闭</a>
  </div>
</div>
</body>
</html>
