<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>用户注册</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<!-- Shown in the framed pop-up (624 x 353); its links are pop-up commands. -->
<body id="page-reg" onload="(new Image()).src='/__beacon?page=reg'">
<div class="section">
  <h3>新用户注册</h3>
  <form class="simple" onsubmit="location.href='/popup/done.html?form=reg&amp;cpp_login_ok=1'; return false;">
    <div><label>用户名</label><input name="name" value="newuser"></div>
    <div><label>密码</label><input name="pass" type="password" value="secret"></div>
    <div><label>手机</label><input name="phone" value="100-0000-0000"></div>
    <div><label></label><button class="button" id="reg-submit" type="submit">提交注册</button></div>
  </form>
</div>
<div class="section">
  <h3>更多</h3>
  <div class="row">
    <a class="button" id="reg-terms" href="/cmd.jsp?page=reg&amp;cpp_alert=%u6CE8%u518C%u5373%u8868%u793A%u540C%u610F%u670D%u52A1%u6761%u6B3E">注册须知</a>
    <a class="button" id="reg-demo" href="/cmd.jsp?page=reg&amp;cpp_open_win=1&amp;cpp_url={{ROOT_ENC}}%2Fpopup%2Findex.html&amp;cpp_left=center&amp;cpp_target=demo">弹窗演示</a>
    <a class="button" id="reg-close" href="/cmd.jsp?cpp_close=1">关闭</a>
  </div>
</div>
</body>
</html>
