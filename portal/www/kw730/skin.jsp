<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>皮肤设置</title>
</head>
<body id="page-skin" onload="(new Image()).src='/__beacon?page=skin'">
<p>皮肤已记录: <span id="skin-name">{{PARAM:skin}}</span></p>
</body>
</html>
