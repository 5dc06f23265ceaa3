-- Shapes README's players' part for a reader in a plain editor (Notepad): a contents list
-- first, the section names as a player searches for them; headings that stand out,
-- underlined; each table a list, a row's first cell (one line for each line it names)
-- followed, on the lines below it and indented, by its other cells (the second alone, each
-- further one after its column's heading), so that no line runs past the page and a row
-- takes no more lines than its words.
local stringify = pandoc.utils.stringify

local function Contents(doc)
  local lines = {"Contents", "--------", ""}
  for _, block in ipairs(doc.blocks) do
    if block.t == "Header" then lines[#lines + 1] = "- " .. stringify(block.content) end
  end
  table.insert(doc.blocks, 1, pandoc.RawBlock("plain", table.concat(lines, "\n")))
  return doc
end

local function Header(header)
  local text = stringify(header.content)
  local rule = header.level <= 2 and "=" or "-"
  return pandoc.RawBlock("plain", text .. "\n" .. string.rep(rule, #text))
end

-- A first cell that names several lines ("*A*, *B*") gives each its own line.
local function LinePerItem(inlines)
  local out = pandoc.List({})
  local i = 1
  while i <= #inlines do
    local here, after = inlines[i], inlines[i + 1]
    if here.t == "Str" and here.text == "," and after and after.t == "Space" and i > 1 and
        inlines[i - 1].t == "Emph" then
      out:insert(pandoc.LineBreak())
      i = i + 2
    else
      out:insert(here)
      i = i + 1
    end
  end
  return out
end

-- Rows follow one another without a blank line: the first cell flush left, the rest indented.
local function Table(grid)
  local headings = {}
  for i, cell in ipairs(grid.head.rows[1].cells) do headings[i] = stringify(cell.contents) end
  local rows = {}
  for _, body in ipairs(grid.bodies) do
    for _, row in ipairs(body.body) do
      local term = LinePerItem(pandoc.utils.blocks_to_inlines(row.cells[1].contents))
      local cells = pandoc.List({})
      for i = 2, #row.cells do
        local content = pandoc.utils.blocks_to_inlines(row.cells[i].contents)
        if #content > 0 then
          if #cells > 0 then cells:insert(pandoc.LineBreak()) end
          if i > 2 then cells:extend({pandoc.Str(headings[i] .. ":"), pandoc.Space()}) end
          cells:extend(content)
        end
      end
      local item = pandoc.DefinitionList({{term, {pandoc.Plain(cells)}}})
      rows[#rows + 1] = pandoc.write(pandoc.Pandoc({item}), "plain", {columns = 90}):gsub("\n+$", "")
    end
  end
  return pandoc.RawBlock("plain", table.concat(rows, "\n") .. "\n")
end

return {{Pandoc = Contents}, {Header = Header, Table = Table}}
