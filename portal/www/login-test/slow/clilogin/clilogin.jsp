<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>慢</title></head>
<body>loginok|慢页面|slow page
<script>
// Busy for five seconds right after loading: a script asked for now is answered only then.
window.addEventListener('load', function () {
  setTimeout(function () {
    var end = Date.now() + 5000;
    while (Date.now() < end) {}
  }, 0);
});
</script></body></html>
