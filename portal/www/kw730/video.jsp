<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>视频直播</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<body id="page-video" onload="(new Image()).src='/__beacon?page=video'">
<div class="article">
  <h1>视频直播 · 频道 <span id="video-channel">{{PARAM:ch}}</span></h1>
  <div class="player"><span class="live">LIVE 直播中</span><div class="screen"></div><div class="bar"><span></span></div></div>
  <p class="muted">演示播放器，无实际视频流。 Demo player without a stream.</p>
</div>
</body>
</html>
