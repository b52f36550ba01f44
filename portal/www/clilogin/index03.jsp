<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>Sorvane金融终端 - 页脚</title>
<script>
// The end strip is collapsed (0 px): it only carries scripts. A window it opens is shown in the body area.
function openNotice(from) {
  window.open('/kw730/notice.jsp?from=' + (from || 'end'));
}
window.addEventListener('load', function () {
  (new Image()).src = '/__beacon?page=index03';
  if (location.search.indexOf('autoopen=1') >= 0)
    openNotice('end-auto');
});
</script>
</head>
<body id="page-index03">
<a id="end-blank" href="/kw730/notice.jsp?from=end-link" target="_blank">公告</a>
<span class="marker">PAGE-INDEX03</span>
</body>
</html>
