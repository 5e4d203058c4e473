<?xml version="1.0" encoding="UTF-8"?>
<!--
  The news page of one channel, rendered from the channel's cache file.
  The installer joins this file's lines into one: every line break stands between two tags, never inside a
  text that needs it, and the style sheet below has no line comments.
  Our own HTML pane shows this page and honours no style sheet or class, only element defaults, HTML attributes
  and a few inline style properties, so the look is given inline; the classes and the style sheet serve other
  browsers.
  The channel's title and copyright are plain text and written escaped; the channel's description and an item's
  title and description are HTML, cleaned of active content when the feed was read, and written as markup.
  The installer fills in the two tokens; each stands alone as the text of a variable. The images folder is a
  path, which the page uses as a file URL.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="no"/>
  <xsl:variable name="images">%IMAGEPATH%</xsl:variable>
  <xsl:variable name="bookmarkService">%BOOKMARK%</xsl:variable>
  <xsl:variable name="imageUrl" select="concat('file:///', translate($images, '\', '/'))"/>

  <xsl:template match="/">
    <html>
      <head>
        <title><xsl:value-of select="rss/channel/title"/></title>
        <style type="text/css">
          body { margin: 0; padding: 0; background: #ffffff; color: #202020; font-family: Tahoma, Verdana, sans-serif; font-size: 9pt; }
          .channel { padding: 8px 12px; background: #eef2f8; border-bottom: 1px solid #b8c4d8; }
          .channel h1 { margin: 0 0 4px 0; font-size: 13pt; color: #1c3c70; }
          .channel p { margin: 0; color: #505050; }
          .item { padding: 8px 12px; border-bottom: 1px solid #e0e0e0; }
          .item img.state { margin-right: 6px; vertical-align: middle; }
          .item .title { font-size: 10pt; font-weight: bold; color: #1c3c70; }
          .item.read .title { font-weight: normal; }
          .item .date { margin-left: 22px; color: #808080; font-size: 8pt; }
          .item .description { margin: 4px 0 4px 22px; }
          .item .actions { margin-left: 22px; font-size: 8pt; }
          .item .actions a { margin-right: 12px; color: #3060a0; }
          .empty { padding: 12px; color: #808080; }
        </style>
      </head>
      <body bgcolor="#ffffff" text="#202020" link="#3060a0" style="background-color:#ffffff;color:#202020">
        <xsl:apply-templates select="rss/channel"/>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="channel">
    <table class="channel" width="100%" cellpadding="8" cellspacing="0" border="0" bgcolor="#eef2f8" style="background-color:#eef2f8">
      <tr>
        <td>
          <h1 style="color:#1c3c70"><font size="4"><xsl:value-of select="title"/></font></h1>
          <xsl:if test="string(description)">
            <p style="color:#505050"><xsl:value-of select="description" disable-output-escaping="yes"/></p>
          </xsl:if>
          <xsl:if test="string(copyright)">
            <p style="color:#505050"><xsl:value-of select="copyright"/></p>
          </xsl:if>
        </td>
      </tr>
    </table>
    <xsl:apply-templates select="item"/>
    <xsl:if test="not(item)">
      <div class="empty" style="color:#808080">There are no items in this channel.</div>
    </xsl:if>
  </xsl:template>

  <xsl:template match="item">
    <xsl:variable name="state">
      <xsl:choose>
        <xsl:when test="read = 'true'">read</xsl:when>
        <xsl:when test="read = 'new'">new</xsl:when>
        <xsl:otherwise>unread</xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="titleStyle">
      <xsl:choose>
        <xsl:when test="$state = 'read'">font-weight:normal;color:#1c3c70</xsl:when>
        <xsl:otherwise>font-weight:bold;color:#1c3c70</xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <table class="item {$state}" cellpadding="4" cellspacing="0" border="0">
      <tr>
        <td width="22" valign="top">
          <img class="state" src="{$imageUrl}/{$state}.png" width="16" height="16" alt="{$state}"/>
        </td>
        <td valign="top">
          <font size="3">
            <xsl:choose>
              <xsl:when test="string(link)">
                <a class="title" href="{link}" style="{$titleStyle}"><xsl:value-of select="title" disable-output-escaping="yes"/></a>
              </xsl:when>
              <xsl:otherwise>
                <span class="title" style="{$titleStyle}"><xsl:value-of select="title" disable-output-escaping="yes"/></span>
              </xsl:otherwise>
            </xsl:choose>
          </font>
          <xsl:if test="string(pubDate)">
            <div class="date" style="color:#808080"><font size="2"><xsl:value-of select="pubDate"/></font></div>
          </xsl:if>
          <xsl:if test="string(description)">
            <div class="description"><xsl:value-of select="description" disable-output-escaping="yes"/></div>
          </xsl:if>
          <xsl:if test="string(enclosure/@url) or string(bookmark)">
            <div class="actions"><font size="2">
              <xsl:if test="string(enclosure/@url)">
                <a class="enclosure" href="{enclosure/@url}" style="color:#3060a0">Enclosure<xsl:if test="string(enclosure/@type)"><xsl:text> (</xsl:text><xsl:value-of select="enclosure/@type"/><xsl:text>)</xsl:text></xsl:if></a>
                <xsl:text>&#160;&#160;&#160; </xsl:text>
              </xsl:if>
              <xsl:if test="string(bookmark)">
                <a class="bookmark" href="{bookmark}" title="{$bookmarkService}" style="color:#3060a0">Bookmark this item</a>
              </xsl:if>
            </font></div>
          </xsl:if>
        </td>
      </tr>
    </table>
    <hr size="1" color="#e0e0e0" noshade="noshade"/>
  </xsl:template>
</xsl:stylesheet>
