<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>已清除登录信息</title>
</head>
<body id="page-deletecook" onload="(new Image()).src='/__beacon?page=deletecook'">
<p>登录信息已清除。 Session cleared.</p>
<p>COOKIE-DELETED</p>
</body>
</html>
