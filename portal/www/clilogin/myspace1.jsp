<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>我的空间</title>
<link rel="stylesheet" href="/css/portal.css">
</head>
<body id="page-myspace1" onload="(new Image()).src='/__beacon?page=myspace1'">
<div class="toolbar">
  <a href="/clilogin/index02.jsp">&#8962; 返回首页</a>
  <a href="/kw730/cmd.jsp?action=back">&#9664; 后退</a>
  <span class="spacer"></span>
  <span>{{INFO}}</span>
</div>
<div class="columns">
  <div class="panel" style="width:320px">
    <h2>账户信息</h2>
    <div class="content">
      <p>用户名: <b id="myspace-user">{{USER}}</b></p>
      <p>终端: {{TITLE}}</p>
      <p>会员等级: 示例高级版 (有效期至年底)</p>
    </div>
  </div>
  <div class="panel" style="flex:1">
    <h2>自选股</h2>
    <div class="content">
      <table class="quotes">
        <tr><th>代码</th><th>名称</th><th>最新</th><th>涨跌幅</th></tr>
        <tr><td>SV1001</td><td><a href="/kw730/quote.jsp?code=SV1001&amp;tarwin=1">澜汐科技</a></td><td class="up">18.62</td><td class="up">+2.31%</td></tr>
        <tr><td>SV1005</td><td><a href="/kw730/quote.jsp?code=SV1005&amp;tarwin=1">鸣湾银行</a></td><td class="down">5.61</td><td class="down">-0.18%</td></tr>
        <tr><td>SV1006</td><td><a href="/kw730/quote.jsp?code=SV1006&amp;tarwin=1">溯汀汽车</a></td><td class="up">27.14</td><td class="up">+1.65%</td></tr>
      </table>
    </div>
  </div>
</div>
<p class="marker" style="padding:0 10px">PAGE-MYSPACE1</p>
</body>
</html>
